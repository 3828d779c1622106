// The files a command works on, from the operands given: files as they are, folders
// searched for .mp3 files when asked to.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/options.h"

namespace pelmix::cli {

struct FileList {
  std::vector<NativeName> files;
  // Folders that could not be listed, each with its reason; their files are missing above.
  struct Failure {
    std::filesystem::path path;
    std::string reason;
  };
  std::vector<Failure> failures;
  // Links met in folders, not followed: a walk takes only what lies in the folder. They are
  // no failures; each is told once, as kSkippedLink says.
  std::vector<std::filesystem::path> skippedLinks;
};

inline constexpr char kSkippedLink[] = "a link, not followed: -r takes only the files that lie in the folder";

// Lists one folder: the entries it could read and, when the listing failed, why.
using FolderLister =
    std::function<std::error_code(const std::filesystem::path& folder, std::vector<std::filesystem::directory_entry>&)>;
// The folder as the disk lists it.
std::error_code ListFolder(const std::filesystem::path& folder, std::vector<std::filesystem::directory_entry>& entries);

// Operands in the order given. With `recursive`, a folder gives the .mp3 files beneath it
// in natural order; links in it are not followed, neither to folders nor to files (a
// folder named as an operand is followed, as is a file). Without it, a folder is passed on
// like a file and fails as one. Folders are listed by `lister`: the disk, unless a test
// stands in for it.
FileList CollectFiles(std::vector<NativeName> operands, bool recursive, const FolderLister& lister = ListFolder);

// Moves the names whose last component fails the .mp3 test out of `files`, in order, and
// returns them; folders stay. Files found in folders have passed it already.
std::vector<NativeName> TakeNonMp3Names(std::vector<NativeName>& files);

}  // namespace pelmix::cli
