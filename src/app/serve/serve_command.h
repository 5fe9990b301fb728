#ifndef GLOSSATOR_APP_SERVE_SERVE_COMMAND_H_
#define GLOSSATOR_APP_SERVE_SERVE_COMMAND_H_

#include <string>

namespace glossator {

struct CommandLineParameters;

// `glossator serve`: writes the documentation, serves it over HTTP and rebuilds it as its inputs
// change, until Ctrl-C, SIGTERM or SIGHUP, which end it cleanly (exit status 0) and remove the
// temporary output folder. The address goes to standard output, one line:
//
//   Serving /home/me/.cache/glossator/serve-Xy12Ab/src at http://127.0.0.1:8000/
//
// Returns the exit status of a batch run for what stops it before it serves: 2 for refused
// arguments, 1 for an error of the first build or a port it cannot listen on.
// REQUIRES: parameters.serve and no parameters.error.
int RunServe(const CommandLineParameters& parameters);

// The output folder of a serve without "-o": a new folder below `cache` (XDG_CACHE_HOME, or
// ~/.cache, with "glossator" added) named "serve-XXXXXX", and in it one named after the first
// PATH, so that the site's title is that name. Returns the inner folder and sets `temporary`
// to the outer one, which is removed at the end. Throws std::runtime_error.
std::string MakeServeFolder(const std::string& cache, const std::string& first_path,
                            std::string& temporary);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_SERVE_COMMAND_H_
