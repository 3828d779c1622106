// The same file once per batch: files are told apart by what the system says they are, so a
// file named twice, or reached again through a link or another spelling, counts once.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <unordered_map>

#include "core/raw_file.h"

namespace pelmix {

class FileOnce {
 public:
  // True the first time the file is met.
  bool FirstTime(const FileIdentity& file) { return !Earlier(file, 0); }
  // Where in the batch the file was met first; nothing the first time, when `place` is
  // noted as where.
  std::optional<std::size_t> Earlier(const FileIdentity& file, std::size_t place) {
    // Number 0 is no file's: a file system that gives every file that number (some network
    // redirectors on Windows) tells nothing, and taking its files for one would leave all but
    // the first unwritten and reported as done.
    if (file.number == 0) return std::nullopt;
    const auto [at, first] = seen_.emplace(file, place);
    return first ? std::nullopt : std::optional(at->second);
  }

 private:
  struct Hash {
    std::size_t operator()(const FileIdentity& file) const {
      return std::hash<std::uint64_t>()(file.number) ^ (std::hash<std::uint64_t>()(file.device) << 1);
    }
  };
  std::unordered_map<FileIdentity, std::size_t, Hash> seen_;
};

}  // namespace pelmix
