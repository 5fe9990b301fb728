#include "app/window/desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>
#include <optional>

namespace glossator {

namespace {

// Graphical text editors of the common desktops, in the order they are tried.
const char* const kGraphicalEditors[] = {
    "gnome-text-editor", "gedit",   "kate",  "kwrite", "mousepad", "pluma", "xed",
    "featherpad",        "leafpad", "geany",
};

// Terminal emulators with the option after which the rest of their arguments is the command
// to run. x-terminal-emulator is the Debian family's choice of the user or the system.
struct Terminal {
  const char* program;
  const char* run_option;
};
const Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"}, {"konsole", "-e"},
    {"xfce4-terminal", "-x"},      {"mate-terminal", "-x"},  {"xterm", "-e"},
};

// `words` run inside the first terminal emulator on the path; none when there is none.
std::optional<EditorCommand> InTerminal(const QStringList& words, const EditorSources& sources) {
  for (const Terminal& terminal : kTerminals) {
    QString path = sources.find_executable(QString::fromLatin1(terminal.program));
    if (!path.isEmpty()) return EditorCommand{path, QStringList{terminal.run_option} + words};
  }
  return std::nullopt;
}

// The command in `words`, program first.
// REQUIRES: `words` is not empty.
EditorCommand Command(QStringList words) {
  QString program = words.takeFirst();
  return EditorCommand{program, words};
}

// The desktop's plain-text application for `file`, in a terminal when its entry asks for one.
std::optional<EditorCommand> TextApplication(const EditorSources& sources, const QString& file) {
  DesktopApplication application = sources.text_application();
  if (application.exec.isEmpty()) return std::nullopt;
  QStringList words = DesktopExecWords(application.exec, file);
  if (application.terminal) return InTerminal(words, sources);
  return Command(words);
}

// The Exec line of the desktop's default application for plain text, as xdg-mime names it.
DesktopApplication SystemTextApplication() {
  QProcess query;
  query.start("xdg-mime", {"query", "default", "text/plain"});
  if (!query.waitForFinished(3000) || query.exitCode() != 0) return {};
  QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  if (id.isEmpty()) return {};
  QFile entry(QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id));
  if (!entry.open(QIODevice::ReadOnly)) return {};
  return ReadDesktopEntry(QString::fromUtf8(entry.readAll()));
}

}  // namespace

QList<EditorCommand> EditorCandidates(const EditorSources& sources, const QString& file) {
  QList<EditorCommand> candidates;
  auto add = [&](std::optional<EditorCommand> command) {
    if (command) candidates << *command;
  };
  QStringList visual = QProcess::splitCommand(sources.visual);
  if (!visual.isEmpty()) candidates << Command(visual << file);
  for (const char* name : kGraphicalEditors) {
    QString path = sources.find_executable(QString::fromLatin1(name));
    if (!path.isEmpty()) {
      candidates << EditorCommand{path, {file}};
      break;
    }
  }
  QStringList editor = QProcess::splitCommand(sources.editor);
  if (!editor.isEmpty()) add(InTerminal(editor << file, sources));
  add(TextApplication(sources, file));
  return candidates;
}

QStringList DesktopExecWords(const QString& exec, const QString& file) {
  static const QStringList kFileCodes = {"%f", "%F", "%u", "%U"};
  QStringList words;
  bool file_given = false;
  for (const QString& word : QProcess::splitCommand(exec)) {
    if (kFileCodes.contains(word)) {
      words << file;
      file_given = true;
    } else if (word.size() == 2 && word[0] == '%' && word[1] != '%') {
      continue;  // %i, %c, %k and the old codes stand for things an editor can do without
    } else {
      words << QString(word).replace("%%", "%");
    }
  }
  if (!file_given) words << file;
  return words;
}

DesktopApplication ReadDesktopEntry(const QString& text) {
  DesktopApplication application;
  bool in_entry = false;
  for (const QString& raw : text.split('\n')) {
    QString line = raw.trimmed();
    if (line.startsWith('[')) {
      in_entry = line == "[Desktop Entry]";
    } else if (in_entry && line.startsWith("Exec=")) {
      application.exec = line.mid(5);
    } else if (in_entry && line.startsWith("Terminal=")) {
      application.terminal = line.mid(9).trimmed() == "true";
    }
  }
  return application;
}

QUrl LocalFileUrl(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

bool SystemDesktop::TrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemDesktop::OpenInBrowser(const QString& path) {
  QDesktopServices::openUrl(LocalFileUrl(path));
}

bool SystemDesktop::StartEditor(const QString& path) {
  EditorSources sources{qEnvironmentVariable("VISUAL"), qEnvironmentVariable("EDITOR"),
                        [](const QString& name) { return QStandardPaths::findExecutable(name); },
                        SystemTextApplication};
  for (const EditorCommand& editor :
       EditorCandidates(sources, QFileInfo(path).absoluteFilePath())) {
    if (QProcess::startDetached(editor.program, editor.arguments)) return true;
  }
  return false;
}

}  // namespace glossator
