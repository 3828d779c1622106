// What kind of failure a file operation's error code stands for: the one place that sorts
// the platforms' codes, so that every front end words the same failure the same way.
#pragma once

#include <system_error>

namespace pelmix {

enum class FileErrorKind {
  NotFound,
  PermissionDenied,
  ReadOnlyFileSystem,
  IsADirectory,
  NotARegularFile,
  DiskFull,
  FileTooLarge,
  InUse,
  NameTooLong,
  TooManyOpenFiles,
  IoError,
  Other,  // the system's own code and text are all there is
};

FileErrorKind KindOf(const std::error_code& error);

}  // namespace pelmix
