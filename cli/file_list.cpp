// Gathering the files of a command from its operands, walking folders in natural order when asked to.
#include "cli/file_list.h"

#include <algorithm>
#include <iterator>
#include <system_error>

#include "cli/text_display.h"
#include "core/mp3_name.h"
#include "core/natural_order.h"

namespace pelmix::cli {
namespace {

namespace fs = std::filesystem;

// What the walk does with an entry of a folder.
enum class Kind { File, Folder, Link };

struct Entry {
  NativeName name;
  Kind kind;
};

// One folder of the walk: its entries still to visit, by name alone, the next one last, and
// how long its path is. Keeping names, not paths, keeps the walk's memory linear in the
// depth of the tree.
struct Level {
  std::vector<Entry> pending;
  std::size_t pathLength = 0;
};

bool EndsWithSeparator(const NativeName& path) {
  if (path.empty()) return true;
#ifdef _WIN32
  return path.back() == L'\\' || path.back() == L'/' || (path.size() == 2 && path.back() == L':');
#else
  return path.back() == '/';
#endif
}

// The folder's entries the walk visits, in natural order. A link is never followed, to a
// folder (a loop could trap the walk) nor to a file (it may lie outside the folder); one
// with an .mp3 name is kept to be reported.
Level ListLevel(const NativeName& folder, FileList& list, const FolderLister& lister) {
  std::vector<fs::directory_entry> entries;
  if (const std::error_code error = lister(fs::path(folder), entries)) {
    list.failures.push_back({fs::path(folder), ErrorReason(error)});
  }
  Level level;
  level.pathLength = folder.size();
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    NativeName name = entry.path().filename().native();
    if (entry.is_symlink(ignored)) {
      if (HasMp3Extension(fs::path(name))) level.pending.push_back({std::move(name), Kind::Link});
    } else if (entry.is_directory(ignored)) {
      level.pending.push_back({std::move(name), Kind::Folder});
    } else if (HasMp3Extension(fs::path(name)) && entry.is_regular_file(ignored)) {
      level.pending.push_back({std::move(name), Kind::File});
    }
  }
  // Sorting each folder's names gives the natural order of the whole paths: they compare
  // component by component. The first to visit goes last.
  std::sort(level.pending.begin(), level.pending.end(),
            [](const Entry& a, const Entry& b) { return NaturalNameLess(b.name, a.name); });
  return level;
}

// Depth first without recursion, so that no depth of folders can exhaust the stack.
void Walk(NativeName path, FileList& list, const FolderLister& lister) {
  std::vector<Level> levels;
  levels.push_back(ListLevel(path, list, lister));
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.pending.empty()) {
      levels.pop_back();
      continue;
    }
    const Entry entry = std::move(level.pending.back());
    level.pending.pop_back();
    path.resize(level.pathLength);
    if (!EndsWithSeparator(path)) path += fs::path::preferred_separator;
    path += entry.name;
    switch (entry.kind) {
      case Kind::File: list.files.push_back(path); break;
      case Kind::Link: list.skippedLinks.emplace_back(path); break;
      case Kind::Folder: levels.push_back(ListLevel(path, list, lister)); break;
    }
  }
}

}  // namespace

std::error_code ListFolder(const fs::path& folder, std::vector<fs::directory_entry>& entries) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (const fs::directory_iterator end; !error && it != end; it.increment(error)) entries.push_back(*it);
  return error;
}

FileList CollectFiles(std::vector<NativeName> operands, bool recursive, const FolderLister& lister) {
  FileList list;
  list.files.reserve(operands.size());
  for (NativeName& operand : operands) {
    std::error_code ignored;
    if (!recursive || !fs::is_directory(operand, ignored)) {
      list.files.push_back(std::move(operand));
      continue;
    }
    Walk(std::move(operand), list, lister);
  }
  return list;
}

std::vector<NativeName> TakeNonMp3Names(std::vector<NativeName>& files) {
  std::vector<NativeName> others;
  // A folder stays, to be reported as one: it wants -r, not another name.
  const auto kept = std::stable_partition(files.begin(), files.end(), [](const NativeName& name) {
    std::error_code ignored;
    return HasMp3Extension(name) || fs::is_directory(name, ignored);
  });
  std::move(kept, files.end(), std::back_inserter(others));
  files.erase(kept, files.end());
  return others;
}

}  // namespace pelmix::cli
