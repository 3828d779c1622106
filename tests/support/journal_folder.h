// Tests that run a batch point the undo journal at a folder of their own.
#pragma once

#include <filesystem>
#include <optional>

namespace pelmix::test {

// PELMIX_STATE_DIR names the folder while it lasts, for this program and those it starts.
class JournalFolderSet {
 public:
  explicit JournalFolderSet(const std::filesystem::path& folder);
  JournalFolderSet(const JournalFolderSet&) = delete;
  JournalFolderSet& operator=(const JournalFolderSet&) = delete;
  ~JournalFolderSet();

 private:
  std::optional<std::filesystem::path::string_type> saved_;
};

}  // namespace pelmix::test
