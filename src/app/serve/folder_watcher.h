#ifndef GLOSSATOR_APP_SERVE_FOLDER_WATCHER_H_
#define GLOSSATOR_APP_SERVE_FOLDER_WATCHER_H_

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace glossator {

// Something that happened in a watched folder.
struct FolderEvent {
  std::string path;       // what changed in the folder (created, written, removed, renamed
                          // from or to, its attributes), or the folder itself
  bool overflow = false;  // events were lost: anything may have changed
};

// Tells which names of some folders changed. Folders rather than files are watched: an editor
// that saves by writing a new file and renaming it over the old one leaves a watch on the file
// watching nothing.
class FolderWatcher {
 public:
  virtual ~FolderWatcher() = default;
  // Watches these folders (absolute paths) from now on, and no others. A folder that cannot be
  // watched (gone, or no permission) is passed over.
  virtual void WatchOnly(const std::set<std::string>& folders) = 0;
  // A descriptor that poll() finds readable while events wait.
  virtual int Descriptor() const = 0;
  // The events that wait, in the order they happened; never waits itself.
  virtual std::vector<FolderEvent> TakeEvents() = 0;
};

// The watcher of Linux, on inotify. Throws std::runtime_error when inotify is not available.
std::unique_ptr<FolderWatcher> MakeInotifyWatcher();

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_FOLDER_WATCHER_H_
