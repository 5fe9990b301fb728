#ifndef GLOSSATOR_APP_SERVE_CHANGE_BATCH_H_
#define GLOSSATOR_APP_SERVE_CHANGE_BATCH_H_

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "app/serve/live_build.h"

namespace glossator {

// Gathers the changes of one burst into one rebuild. An editor's save makes several events in a
// millisecond or two (a temporary file, a rename over the old one, a change of mode); the batch
// is due once no change came for `quiet`, or `longest` after its first change, so that a stream
// of changes (a checkout) still rebuilds now and then.
//
//   quiet 8 ms, longest 40 ms:  changes at 0, 1, 2 ms     => due at 10 ms
//                               changes every 5 ms        => due at 40 ms
class ChangeBatch {
 public:
  using Clock = std::chrono::steady_clock;

  ChangeBatch(Clock::duration quiet, Clock::duration longest) : quiet_(quiet), longest_(longest) {}

  void Add(Clock::time_point now, const std::string& path);
  bool Empty() const { return paths_.empty(); }
  // How long from `now` until the batch is due: zero when it is, Clock::duration::max() when it
  // is empty.
  Clock::duration Wait(Clock::time_point now) const;
  // The paths, each once, in the order first changed; the batch is empty afterwards.
  std::vector<std::string> Take();

 private:
  Clock::duration quiet_;
  Clock::duration longest_;
  Clock::time_point first_;
  Clock::time_point last_;
  std::vector<std::string> paths_;
  std::set<std::string> seen_;
};

// The folders to watch for the inputs: the folder of every file, every folder of the trees
// (and the trees' parents, which tell when a tree is removed or renamed) and the include
// folders.
std::set<std::string> FoldersToWatch(const WatchedInputs& inputs);

// Whether a change of `path` (absolute) may matter to the build: an input file; in a tree, a
// unit file or a folder, or anything removed; a file named as an include file that was not
// found.
bool Matters(const WatchedInputs& inputs, const std::string& path);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_CHANGE_BATCH_H_
