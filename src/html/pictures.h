#ifndef GLOSSATOR_HTML_PICTURES_H_
#define GLOSSATOR_HTML_PICTURES_H_

#include <string_view>
#include <vector>

namespace glossator {

// One built-in picture: the file name the run writes and its GIF bytes.
//
// The bytes are compiled into the program from resources/pictures (drawn by
// resources/make-pictures) and live for the whole program; both views stay valid forever.
struct Picture {
  std::string_view file_name;
  std::string_view bytes;
};

// The eleven pictures in the order the run writes them: constructors.gif, methods.gif,
// property.gif, functions.gif, functions_big.gif, private.gif, private_big.gif, protected.gif,
// protected_big.gif, public.gif, public_big.gif. Each is a GIF89a file, written out byte for
// byte; the balls have a transparent background.
const std::vector<Picture>& Pictures();

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PICTURES_H_
