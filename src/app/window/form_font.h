#ifndef GLOSSATOR_APP_WINDOW_FORM_FONT_H_
#define GLOSSATOR_APP_WINDOW_FORM_FONT_H_

#include <QFont>

namespace glossator {

// The font of the two windows: the desktop's own face at 8 points, the size their fixed pixel
// layouts are drawn for. A desktop's larger default would clip the button captions.
inline QFont LayoutFont(QFont font) {
  font.setPointSize(8);
  return font;
}

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_FORM_FONT_H_
