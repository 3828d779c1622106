// The same file once per batch: files are told apart by what the system says they are, so a
// file named twice, or reached again through a link or another spelling, counts once.
#pragma once

#include <cstddef>
#include <functional>
#include <unordered_set>

#include "core/raw_file.h"

namespace pelmix {

class FileOnce {
 public:
  // True the first time the file is met.
  bool FirstTime(const FileIdentity& file) { return seen_.insert(file).second; }

 private:
  struct Hash {
    std::size_t operator()(const FileIdentity& file) const {
      return std::hash<std::uint64_t>()(file.number) ^ (std::hash<std::uint64_t>()(file.device) << 1);
    }
  };
  std::unordered_set<FileIdentity, Hash> seen_;
};

}  // namespace pelmix
