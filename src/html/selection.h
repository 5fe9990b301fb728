#ifndef GLOSSATOR_HTML_SELECTION_H_
#define GLOSSATOR_HTML_SELECTION_H_

#include <string>
#include <vector>

namespace glossator {

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
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SELECTION_H_
