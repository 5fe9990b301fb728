#ifndef GLOSSATOR_APP_SELF_PATH_H_
#define GLOSSATOR_APP_SELF_PATH_H_

#include <string>

namespace glossator {

// The path of the running program's file, as the kernel names it ("/usr/bin/glossator"), when
// that path still names the running program (same device and inode); empty otherwise: after the
// program was deleted or replaced, another file may stand there, even one named like the kernel's
// "glossator (deleted)", and it must never be started in the program's place.
std::string RunningProgramPath();

// Whether `path` names the running program's file.
bool IsRunningProgram(const std::string& path);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SELF_PATH_H_
