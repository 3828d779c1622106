// Turning the items of a drop into the files the window processes.
#include "ui/dropped_items.h"

#include <algorithm>

#include "core/mp3_name.h"
#include "core/natural_order.h"

namespace pelmix::ui {

namespace fs = std::filesystem;

std::vector<fs::path> EntriesOfFolder(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> entries;
  fs::directory_iterator it(folder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    // An entry whose kind cannot be told is kept: opening it says what is wrong with it.
    std::error_code kindError;
    if (!it->is_directory(kindError)) entries.push_back(it->path());
  }
  if (error) entries.clear();
  return entries;
}

DropPlan PlanDrop(std::span<const fs::path> dropped, bool autoUpdate, const FolderReader& readFolder) {
  DropPlan plan;
  if (!autoUpdate) {
    std::error_code error;
    if (dropped.size() == 1 && !dropped.front().empty() && !fs::is_directory(dropped.front(), error) &&
        HasMp3Extension(dropped.front())) {
      plan.files.push_back(dropped.front());
    }
    return plan;
  }
  for (const fs::path& item : dropped) {
    if (item.empty()) continue;
    std::error_code error;
    if (!fs::is_directory(item, error)) {
      if (HasMp3Extension(item)) plan.files.push_back(item);
      continue;
    }
    std::vector<fs::path> entries = readFolder(item, error);
    if (error) {
      plan.unreadableFolders.emplace_back(item, error);
      continue;
    }
    std::erase_if(entries, [](const fs::path& entry) { return !HasMp3Extension(entry); });
    std::sort(entries.begin(), entries.end(), NaturalPathLess);
    plan.files.insert(plan.files.end(), entries.begin(), entries.end());
  }
  return plan;
}

}  // namespace pelmix::ui
