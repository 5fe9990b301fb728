# Compiles the built-in GIF pictures of resources/pictures into the program.
#
# Included from a CMakeLists.txt, this file defines glossator_embed_pictures(target), which adds
# a generated C++ source holding the pictures' bytes and defining Pictures() (html/pictures.h)
# to the target. The source is regenerated at build time whenever a picture or this file
# changes.
#
# Run with "cmake -DPICTURES_DIR=<folder> -DOUTPUT=<file.cpp> -P EmbedPictures.cmake", it is
# the generator itself; the build runs it that way.

# The pictures in the order a run writes them. Pictures() returns them in this order, whatever
# order the folder lists them in.
set(GLOSSATOR_PICTURE_NAMES
  constructors.gif
  methods.gif
  property.gif
  functions.gif
  functions_big.gif
  private.gif
  private_big.gif
  protected.gif
  protected_big.gif
  public.gif
  public_big.gif
)

if(CMAKE_SCRIPT_MODE_FILE)
  # Generator mode: write OUTPUT from the GIF files in PICTURES_DIR.
  if(NOT PICTURES_DIR OR NOT OUTPUT)
    message(FATAL_ERROR "EmbedPictures: pass -DPICTURES_DIR=<folder> -DOUTPUT=<file.cpp>")
  endif()

  set(arrays "")
  set(entries "")
  foreach(name IN LISTS GLOSSATOR_PICTURE_NAMES)
    set(file "${PICTURES_DIR}/${name}")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "EmbedPictures: missing picture ${file}")
    endif()
    file(READ "${file}" hex HEX)
    # Twelve bytes a line: "0x47, 0x49, ...". (CMake's regular expressions have no {n}.)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " bytes "${hex}")
    string(REPEAT "0x.., " 12 line)
    string(REGEX REPLACE "${line}" "\\0\n    " bytes "${bytes}")
    string(REPLACE ", \n" ",\n" bytes "${bytes}")
    string(REGEX REPLACE "[ \n]+$" "" bytes "${bytes}")

    # constructors.gif => kConstructorsGif, functions_big.gif => kFunctionsBigGif
    string(REPLACE "." "_" words "${name}")
    string(REPLACE "_" ";" words "${words}")
    set(array "k")
    foreach(word IN LISTS words)
      string(SUBSTRING "${word}" 0 1 first)
      string(SUBSTRING "${word}" 1 -1 rest)
      string(TOUPPER "${first}" first)
      string(APPEND array "${first}${rest}")
    endforeach()

    string(APPEND arrays "constexpr unsigned char ${array}[] = {\n    ${bytes}\n};\n\n")
    string(APPEND entries "      {\"${name}\", Bytes(${array}, sizeof ${array})},\n")
  endforeach()

  file(WRITE "${OUTPUT}" "\
// Generated at build time by cmake/EmbedPictures.cmake from resources/pictures; do not edit.
// To change a picture, redraw it with resources/make-pictures.

#include \"html/pictures.h\"

#include <cstddef>
#include <string_view>
#include <vector>

namespace glossator {
namespace {

std::string_view Bytes(const unsigned char* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

${arrays}}  // namespace

const std::vector<Picture>& Pictures() {
  static const std::vector<Picture> pictures = {
${entries}  };
  return pictures;
}

}  // namespace glossator
")
  return()
endif()

set(GLOSSATOR_EMBED_PICTURES_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

# glossator_embed_pictures(target)
# Adds the generated source with the pictures of ${PROJECT_SOURCE_DIR}/resources/pictures to
# target's sources.
function(glossator_embed_pictures target)
  set(pictures_dir "${PROJECT_SOURCE_DIR}/resources/pictures")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/glossator_pictures.cpp")
  set(inputs "")
  foreach(name IN LISTS GLOSSATOR_PICTURE_NAMES)
    if(NOT EXISTS "${pictures_dir}/${name}")
      message(FATAL_ERROR "Missing picture ${pictures_dir}/${name}; run resources/make-pictures")
    endif()
    list(APPEND inputs "${pictures_dir}/${name}")
  endforeach()

  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DPICTURES_DIR=${pictures_dir}" "-DOUTPUT=${output}"
            -P "${GLOSSATOR_EMBED_PICTURES_SCRIPT}"
    DEPENDS ${inputs} "${GLOSSATOR_EMBED_PICTURES_SCRIPT}"
    COMMENT "Embedding the built-in pictures"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
