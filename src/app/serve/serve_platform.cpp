#include "app/serve/serve_platform.h"

namespace glossator {

void ServePlatform::ShowMessage(std::string_view text) {
  if (out_ != nullptr)
    std::fprintf(out_, "glossator: %.*s\n", static_cast<int>(text.size()), text.data());
  warnings_.push_back(Warning{"", 0, "message", std::string(text), {}});
}

void ServePlatform::ReportWarning(const Warning& warning) {
  if (out_ != nullptr) std::fprintf(out_, "%s\n", FormatWarning(warning).c_str());
  warnings_.push_back(warning);
}

}  // namespace glossator
