#ifndef GLOSSATOR_HTML_SELECTION_H_
#define GLOSSATOR_HTML_SELECTION_H_

#include <string>
#include <vector>

#include "parser/file_parse.h"
#include "parser/pascal/pascal_reader.h"

namespace glossator {

// Which pages a run writes: the frame set, or the site.
enum class OutputStyle { kFrames, kSite };

// What a run documents: the window's controls, or what a selection file holds.
struct Selection {
  std::vector<std::string> files;  // unit source files, in run order
  std::string out_dir;             // output directory text
  std::string desc_file;           // description page; empty means the default page
  std::string menubar_file;        // custom menu-bar page; empty means the generated one
  bool parse_private = false;      // "Include private"
  bool debug_mode = false;         // write "glosdata.xml"
  std::string dump_file;           // where debug mode writes it ("-": standard output); the
                                   // programs name it (beside themselves by default)
  int jobs = 0;                    // threads of the run; 0 means DefaultJobs(), 1 none besides
  ReaderKind reader = ReaderKind::kLines;    // "Reader" of a selection file, "--reader"
  OutputStyle style = OutputStyle::kFrames;  // "Style" of a selection file, "--style"
  ReaderOptions pascal;                      // the Pascal reader's symbols, folders and comments
  std::string json_file;                     // "--json": the units as JSON; empty: none
  std::string title;                         // "--title": the site's title; empty: the folder's
  std::string source_url;                    // "--source-url": the site's links to the sources
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SELECTION_H_
