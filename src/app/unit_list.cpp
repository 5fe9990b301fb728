// PATH arguments expanded into the list of unit files a run documents.
#include "app/unit_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

#include "app/project_files.h"
#include "app/selection_file.h"
#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

std::string Lower(const fs::path& path) { return ToLowerAscii(path.string()); }

bool IsUnitFileName(const fs::path& path) {
  std::string extension = Lower(path.extension());
  return extension == ".pas" || extension == ".pp";
}

// The sources a Lazarus package or project may list as units; include files and forms are not.
bool IsUnitSource(const fs::path& path) {
  std::string extension = Lower(path.extension());
  return extension == ".pas" || extension == ".pp" || extension == ".p";
}

// A path written in a project file, resolved from the project's folder.
fs::path Resolve(const fs::path& folder, std::string written) {
  std::replace(written.begin(), written.end(), '\\', '/');
  fs::path path(written);
  return (path.is_absolute() ? path : folder / path).lexically_normal();
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// The identity of a file, links followed: its device and inode.
using FileId = std::pair<dev_t, ino_t>;

std::optional<FileId> IdOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

class Expander {
 public:
  UnitList Take() {
    ReportRepeats();
    return std::move(list_);
  }

  void Expand(const std::string& argument) {
    std::error_code error;
    fs::file_status status = fs::status(argument, error);
    if (error || !fs::exists(status)) {
      throw PathError("cannot access '" + argument +
                      "': " + (error ? error.message() : std::string("No such file or directory")));
    }
    if (fs::is_directory(status)) return ExpandFolder(argument);
    std::string extension = Lower(fs::path(argument).extension());
    if (extension == ".gls") {
      list_.inputs.push_back(argument);
      return ExpandSelection(argument);
    }
    if (extension == ".lpk" || extension == ".lpi") {
      list_.inputs.push_back(argument);
      return ExpandProject(argument, ReadLazarusEntries(ReadProject(argument)), true);
    }
    if (extension == ".dpr" || extension == ".dpk") {
      list_.inputs.push_back(argument);
      return ExpandProject(argument, ReadDelphiEntries(ReadProject(argument)), false);
    }
    Add(fs::absolute(argument).lexically_normal().string());
  }

 private:
  // Adds a file unless the same file is in the list already (then its path is noted for the
  // warning). A file that cannot be looked at is added as it is: reading it reports it.
  // `listed`: the path comes from a selection file's list, which should name each file once.
  // `found`: the file was found through a folder or a project file.
  void Add(const std::string& path, bool listed = false, bool found = false) {
    std::optional<FileId> id = IdOf(path);
    auto [it, added] =
        id ? reached_.try_emplace(*id, list_.files.size()) : std::pair(reached_.end(), true);
    if (added) {
      list_.files.push_back(path);
      if (found) list_.found.insert(path);
      return;
    }
    std::vector<std::string>& paths = repeats_[it->second];
    if (paths.empty()) order_.push_back(it->second);
    paths.push_back(path);
    if (listed) listed_again_.insert(it->second);
  }

  // One warning for each file reached more than once.
  void ReportRepeats() {
    for (size_t index : order_) {
      const std::string& first = list_.files[index];
      std::vector<std::string> others;
      for (const std::string& path : repeats_[index]) {
        if (path != first && std::find(others.begin(), others.end(), path) == others.end()) {
          others.push_back(path);
        }
      }
      // The same path found again through a folder and a project file is no news.
      if (others.empty() && listed_again_.count(index) == 0) continue;
      size_t times = repeats_[index].size() + 1;
      std::string text = "reached " + std::to_string(times) + " times";
      if (!others.empty()) {
        text += ", also as ";
        for (size_t k = 0; k < others.size() && k < 5; ++k) {
          text += (k == 0 ? "'" : ", '") + others[k] + "'";
        }
        if (others.size() > 5) text += " and " + std::to_string(others.size() - 5) + " more";
      }
      Warn(first, 0, text + "; documented once");
    }
  }

  void Warn(const std::string& file, int line, const std::string& text) {
    list_.warnings.push_back({file, line, "unit-list", text, {}});
  }

  // Every unit file below `folder`, in byte order of path. Folders are read one at a time, so
  // that one that cannot be read is reported and passed over; links to folders are not
  // followed (a link back up would never end).
  void ExpandFolder(const std::string& folder) {
    std::vector<std::string> found;
    std::vector<fs::path> pending{fs::absolute(folder).lexically_normal()};
    bool top = true;
    while (!pending.empty()) {
      fs::path current = std::move(pending.back());
      pending.pop_back();
      std::error_code error;
      fs::directory_iterator it(current, error);
      if (error && top) {
        throw PathError("cannot read folder '" + folder + "': " + error.message());
      }
      top = false;
      if (error) {
        Warn(current.string(), 0, "folder skipped: " + error.message());
        continue;
      }
      for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        std::string text = path.string();
        if (text.size() >= PATH_MAX) {
          Warn(text.substr(0, 200) + "...", 0,
               "path longer than " + std::to_string(PATH_MAX - 1) + " bytes; skipped");
          continue;
        }
        std::error_code kind_error;
        if (it->is_directory(kind_error) && !it->is_symlink(kind_error)) {
          pending.push_back(path);
        } else if (IsUnitFileName(path) && IsFile(path)) {
          found.push_back(text);
        }
      }
      if (error) Warn(current.string(), 0, "folder read only in part: " + error.message());
    }
    std::sort(found.begin(), found.end());
    for (const std::string& path : found) Add(path, false, true);
  }

  // Its files exactly as written there, so that the run is the one "-p FILE -b" makes.
  void ExpandSelection(const std::string& file) {
    SelectionFileContents contents;
    try {
      contents = ReadSelectionFile(file);
    } catch (const SelectionFileError& error) {
      throw PathError(error.what());
    }
    for (Warning& warning : contents.warnings) list_.warnings.push_back(std::move(warning));
    for (const std::string& path : contents.selection.files) Add(path, true);
    list_.settings = std::move(contents.selection);
  }

  static std::string ReadProject(const std::string& file) {
    std::string text;
    if (!ReadRegularFile(file, text)) throw PathError("cannot read '" + file + "'");
    return text;
  }

  void ExpandProject(const std::string& file, const std::vector<ProjectEntry>& entries,
                     bool lazarus) {
    fs::path folder = fs::absolute(file).parent_path();
    for (const ProjectEntry& entry : entries) {
      if (entry.path.empty()) {
        fs::path found = FindBeside(folder, entry.name);
        if (found.empty()) {
          Warn(file, entry.line, "unit '" + entry.name + "' not found beside the project; skipped");
        } else {
          Add(found.string(), false, true);
        }
        continue;
      }
      fs::path path = Resolve(folder, entry.path);
      // The main program of a project is listed like its units but is not one; nor is an
      // include file that a package lists with a unit name.
      std::string extension = Lower(path.extension());
      if (extension == ".lpr" || extension == ".dpr") continue;
      if (lazarus && !IsUnitSource(path)) continue;
      if (IsFile(path)) {
        Add(path.string(), false, true);
      } else {
        Warn(file, entry.line, "'" + entry.path + "' not found; skipped");
      }
    }
  }

  // "Name.pas" or "Name.pp" in `folder`; letter case is ignored when the exact name is absent,
  // since Delphi projects come from file systems that ignore it. Each folder is listed once.
  fs::path FindBeside(const fs::path& folder, const std::string& name) {
    for (const char* extension : {".pas", ".pp"}) {
      fs::path exact = folder / (name + extension);
      if (IsFile(exact)) return exact.lexically_normal();
    }
    const auto& stems = FolderStems(folder);
    auto it = stems.find(ToLowerAscii(name));
    return it == stems.end() ? fs::path() : it->second;
  }

  // The unit files of a folder by lower-cased stem; of several, the first in byte order.
  const std::unordered_map<std::string, fs::path>& FolderStems(const fs::path& folder) {
    auto [it, added] = folder_stems_.try_emplace(folder.string());
    if (!added) return it->second;
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
      if (IsUnitFileName(entry->path()) && IsFile(entry->path())) {
        files.push_back(entry->path().lexically_normal());
      }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) it->second.try_emplace(Lower(path.stem()), path);
    return it->second;
  }

  UnitList list_;
  std::map<FileId, size_t> reached_;                    // file => its place in the list
  std::map<size_t, std::vector<std::string>> repeats_;  // place => the paths that came again
  std::vector<size_t> order_;                           // places with repeats, in order
  std::set<size_t> listed_again_;  // places a selection file's list named once more
  std::unordered_map<std::string, std::unordered_map<std::string, fs::path>> folder_stems_;
};

}  // namespace

UnitList ExpandPaths(const std::vector<std::string>& paths) {
  Expander expander;
  for (const std::string& path : paths) expander.Expand(path);
  return expander.Take();
}

}  // namespace glossator
