#include "app/console_platform.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace glossator {

namespace {

// The signal that cancelled the run, 0 while none did.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int signal_number) {
  g_interrupted = signal_number;
  // A second one ends the program at once.
  std::signal(signal_number, SIG_DFL);
}

int TerminalWidth(std::FILE* out) {
  struct winsize size;
  if (ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

ConsolePlatform::ConsolePlatform(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

ConsolePlatform::ConsolePlatform() : ConsolePlatform(stderr, isatty(fileno(stderr)) != 0) {}

void ConsolePlatform::CatchInterrupt() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

bool ConsolePlatform::Interrupted() { return g_interrupted != 0; }

void ConsolePlatform::SetInterrupted(bool interrupted) { g_interrupted = interrupted ? SIGINT : 0; }

int ConsolePlatform::CancelStatus() { return 128 + (g_interrupted != 0 ? g_interrupted : SIGINT); }

void ConsolePlatform::ShowProgress(TGlosParser*, int maximum) {
  maximum_ = std::max(maximum, 1);
  position_ = 0;
  Draw();
}

bool ConsolePlatform::UpdateProgress(std::string_view header, std::string_view detail, bool step) {
  if (!header.empty()) header_ = header;
  detail_ = detail;
  if (step) ++position_;
  Draw();
  return !Interrupted();
}

void ConsolePlatform::FinishProgress() {
  position_ = maximum_;
  Draw();
  CloseProgress();
}

void ConsolePlatform::CloseProgress() {
  if (!drawn_) return;
  ClearLine();
  drawn_ = false;
}

void ConsolePlatform::Draw() {
  if (!terminal_) return;
  // "header detail [#####.....]  50%", cut to the terminal's width.
  const int kBar = 20;
  int filled = std::clamp(position_ * kBar / maximum_, 0, kBar);
  int percent = std::clamp(position_ * 100 / maximum_, 0, 100);
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "[" + std::string(...).
  std::string bar = "[";
  bar.append(filled, '#').append(kBar - filled, '.').append("] ");
  bar += std::to_string(percent);
  bar += '%';
  std::string text = header_;
  if (!detail_.empty()) text += " " + detail_;
  size_t room = static_cast<size_t>(std::max(TerminalWidth(out_) - 1, 10));
  if (text.size() + bar.size() + 1 > room) {
    text.resize(room > bar.size() + 1 ? room - bar.size() - 1 : 0);
  }
  std::fprintf(out_, "\r\033[K%s %s", text.c_str(), bar.c_str());
  std::fflush(out_);
  drawn_ = true;
}

void ConsolePlatform::ClearLine() {
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
}

void ConsolePlatform::Say(std::string_view text) { Print("glossator: " + std::string(text)); }

void ConsolePlatform::Print(std::string line) {
  if (drawn_) ClearLine();
  // Message texts may break lines with a lone CR; on a terminal that would overwrite.
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
  if (drawn_) Draw();
}

void ConsolePlatform::ShowInformation(std::string_view text) { Say(text); }

void ConsolePlatform::ShowMessage(std::string_view text) { Say(text); }

void ConsolePlatform::SetBusy(bool) {}

void ConsolePlatform::ReportWarning(const Warning& warning) {
  warnings_.push_back(warning);
  // One line each: a declaration gathered over several lines keeps them apart by newlines.
  std::string line = FormatWarning(warning);
  std::replace(line.begin(), line.end(), '\n', ' ');
  Print(std::move(line));
}

}  // namespace glossator
