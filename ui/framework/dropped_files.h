// The files of a drop, as WM_DROPFILES delivers them; the drop is released exactly once,
// when the object goes, whatever the handler did.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <filesystem>

namespace pelmix::ui {

class CDroppedFiles {
 public:
  explicit CDroppedFiles(HDROP drop) : drop_(drop) {}
  CDroppedFiles(const CDroppedFiles&) = delete;
  CDroppedFiles& operator=(const CDroppedFiles&) = delete;
  ~CDroppedFiles() { ::DragFinish(drop_); }

  UINT Count() const { return ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0); }
  // The whole name of the file at the index, of any length; empty when it cannot be read.
  std::filesystem::path Name(UINT index) const;

 private:
  HDROP drop_;
};

}  // namespace pelmix::ui
