# Compiles the site's static files of resources/site (its style sheet and script) into the
# program.
#
# Included from a CMakeLists.txt, this file defines glossator_embed_site_files(target), which adds
# a generated C++ source holding the files' bytes and defining SiteStaticFiles()
# (html/site/static_files.h) to the target. The source is regenerated at build time whenever one
# of the files or this script changes.
#
# Run with "cmake -DSITE_DIR=<folder> -DOUTPUT=<file.cpp> -P EmbedSiteFiles.cmake", it is the
# generator itself; the build runs it that way.

# The files in the order the site lists them.
set(GLOSSATOR_SITE_FILE_NAMES
  site.css
  site.js
)

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT SITE_DIR OR NOT OUTPUT)
    message(FATAL_ERROR "EmbedSiteFiles: pass -DSITE_DIR=<folder> -DOUTPUT=<file.cpp>")
  endif()
  set(arrays "")
  set(entries "")
  set(index 0)
  foreach(name IN LISTS GLOSSATOR_SITE_FILE_NAMES)
    set(file "${SITE_DIR}/${name}")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "EmbedSiteFiles: missing file ${file}")
    endif()
    file(READ "${file}" hex HEX)
    # Sixteen bytes a line: "0x2f, 0x2a, ...". (CMake's regular expressions have no {n}.)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REPEAT "0x..," 16 line)
    string(REGEX REPLACE "${line}" "\\0\n    " bytes "${bytes}")
    string(REGEX REPLACE "[ \n,]+$" "" bytes "${bytes}")
    string(APPEND arrays "constexpr unsigned char kFile${index}[] = {\n    ${bytes}\n};\n\n")
    string(APPEND entries "      {\"${name}\", Bytes(kFile${index}, sizeof kFile${index})},\n")
    math(EXPR index "${index} + 1")
  endforeach()

  file(WRITE "${OUTPUT}.new" "\
// Generated at build time by cmake/EmbedSiteFiles.cmake from resources/site; do not edit.

#include \"html/site/static_files.h\"

#include <cstddef>
#include <string_view>
#include <vector>

namespace glossator {
namespace {

std::string_view Bytes(const unsigned char* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

${arrays}}  // namespace

const std::vector<StaticFile>& SiteStaticFiles() {
  static const std::vector<StaticFile> files = {
${entries}  };
  return files;
}

}  // namespace glossator
")
  file(RENAME "${OUTPUT}.new" "${OUTPUT}")
  return()
endif()

set(GLOSSATOR_EMBED_SITE_FILES_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

# glossator_embed_site_files(target)
# Adds the generated source with the files of ${PROJECT_SOURCE_DIR}/resources/site to target's
# sources.
function(glossator_embed_site_files target)
  set(site_dir "${PROJECT_SOURCE_DIR}/resources/site")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/glossator_site_files.cpp")
  set(inputs "")
  foreach(name IN LISTS GLOSSATOR_SITE_FILE_NAMES)
    list(APPEND inputs "${site_dir}/${name}")
  endforeach()
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DSITE_DIR=${site_dir}" "-DOUTPUT=${output}"
            -P "${GLOSSATOR_EMBED_SITE_FILES_SCRIPT}"
    DEPENDS ${inputs} "${GLOSSATOR_EMBED_SITE_FILES_SCRIPT}"
    COMMENT "Embedding the site's style sheet and script"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
