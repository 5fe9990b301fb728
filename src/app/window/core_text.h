#ifndef GLOSSATOR_APP_WINDOW_CORE_TEXT_H_
#define GLOSSATOR_APP_WINDOW_CORE_TEXT_H_

#include <QString>
#include <string>
#include <string_view>

namespace glossator {

// The core works on 8-bit strings: paths as the file system spells them and texts read from
// unit sources, which may be UTF-8 or an 8-bit code page. These convert at the window's edge.

// Decodes a core string for display: UTF-8 when it is valid UTF-8, otherwise Latin-1, so that a
// text in an 8-bit code page still shows its letters instead of replacement marks.
QString FromCore(std::string_view text);

// Encodes a path or a text typed into the window the way the file system expects it.
std::string ToCore(const QString& text);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_CORE_TEXT_H_
