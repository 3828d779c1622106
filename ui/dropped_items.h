// Which files a drop on the window brings: the one .mp3 file outside Auto Update; in Auto
// Update every .mp3 file dropped and those directly inside each folder dropped.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

namespace pelmix::ui {

struct DropPlan {
  // In drop order, each folder's files in its place, in natural order of their names.
  std::vector<std::filesystem::path> files;
  std::vector<std::pair<std::filesystem::path, std::error_code>> unreadableFolders;
};

// The entries of a folder that are not folders themselves; a failure sets the error.
using FolderReader = std::function<std::vector<std::filesystem::path>(const std::filesystem::path&, std::error_code&)>;
std::vector<std::filesystem::path> EntriesOfFolder(const std::filesystem::path& folder, std::error_code& error);

// Outside Auto Update a drop brings exactly one item, and a folder is no .mp3 file. A
// name that could not be read arrives empty and is left out.
DropPlan PlanDrop(std::span<const std::filesystem::path> dropped, bool autoUpdate,
                  const FolderReader& readFolder = EntriesOfFolder);

}  // namespace pelmix::ui
