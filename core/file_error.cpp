// Sorting error codes into kinds; RawFile gives special files a code of their own.
#include "core/file_error.h"

#include "core/raw_file.h"

namespace pelmix {

FileErrorKind KindOf(const std::error_code& error) {
  struct Entry {
    std::errc code;
    FileErrorKind kind;
  };
  static constexpr Entry kKinds[] = {
      {std::errc::no_such_file_or_directory, FileErrorKind::NotFound},
      {std::errc::not_a_directory, FileErrorKind::NotFound},
      {std::errc::permission_denied, FileErrorKind::PermissionDenied},
      {std::errc::operation_not_permitted, FileErrorKind::PermissionDenied},
      {std::errc::read_only_file_system, FileErrorKind::ReadOnlyFileSystem},
      {std::errc::is_a_directory, FileErrorKind::IsADirectory},
      {std::errc::no_space_on_device, FileErrorKind::DiskFull},
      {std::errc::file_too_large, FileErrorKind::FileTooLarge},
      {std::errc::device_or_resource_busy, FileErrorKind::InUse},
      {std::errc::text_file_busy, FileErrorKind::InUse},
      {std::errc::filename_too_long, FileErrorKind::NameTooLong},
      {std::errc::too_many_files_open, FileErrorKind::TooManyOpenFiles},
      {std::errc::io_error, FileErrorKind::IoError},
  };
  if (error == NotARegularFile()) return FileErrorKind::NotARegularFile;
  for (const Entry& entry : kKinds) {
    if (error == entry.code) return entry.kind;
  }
  return FileErrorKind::Other;
}

}  // namespace pelmix
