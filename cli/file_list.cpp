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

void Walk(const fs::path& folder, const fs::path& relative, std::vector<fs::path>& found,
          std::vector<FileList::Failure>& failures, const FolderLister& lister) {
  std::vector<fs::directory_entry> entries;
  const std::error_code error = lister(folder, entries);
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    const fs::path name = relative / entry.path().filename();
    if (entry.is_symlink(ignored)) {
      if (HasMp3Extension(name) && entry.is_regular_file(ignored)) found.push_back(name);
    } else if (entry.is_directory(ignored)) {
      Walk(entry.path(), name, found, failures, lister);
    } else if (HasMp3Extension(name) && entry.is_regular_file(ignored)) {
      found.push_back(name);
    }
  }
  if (error) failures.push_back({folder, ErrorReason(error)});
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
    const fs::path folder(std::move(operand));
    std::vector<fs::path> found;
    Walk(folder, {}, found, list.failures, lister);
    std::sort(found.begin(), found.end(), NaturalPathLess);
    for (const fs::path& name : found) list.files.push_back((folder / name).native());
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
