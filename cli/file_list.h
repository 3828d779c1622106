// The files a command works on, from the operands given: files as they are, folders
// searched for .mp3 files when asked to.
#pragma once

#include <filesystem>
#include <string>
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
};

// Operands in the order given. With `recursive`, a folder gives the .mp3 files beneath it
// in natural order (links to folders are not followed, so a loop cannot trap the walk);
// without it, a folder is passed on like a file and fails as one.
FileList CollectFiles(std::vector<NativeName> operands, bool recursive);

// Moves the names whose last component fails the .mp3 test out of `files`, in order, and
// returns them. Files found in folders have passed it already.
std::vector<NativeName> TakeNonMp3Names(std::vector<NativeName>& files);

// Natural order of the whole list ("Track 2" before "Track 10"), whatever order a shell's
// glob gave; names that compare equal keep their order.
void SortNaturally(std::vector<NativeName>& files);

}  // namespace pelmix::cli
