// An unbuffered handle on a regular file: exactly the reads and writes asked for, at
// 64-bit offsets, with failures as error codes. The only place in core/ that knows the
// platform's file calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

namespace pelmix {

// Which file a handle or a path names: its device and its number there, stable while the
// file exists. A file renamed over another, or a link put in its place, has another.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What Open gives for a FIFO, a device or a socket: nothing a tag belongs in. Its own code,
// so that an EINVAL from the system is not mistaken for it.
std::error_code NotARegularFile();

// The identity and size of the file the path names now, following links: one look at the
// name, where a check that it still names a file held open needs both.
struct FileStatus {
  FileIdentity identity;
  std::int64_t size = 0;
};
std::error_code StatusOf(const std::filesystem::path& path, FileStatus& status);

// Gives the file `from` the name `to`, never replacing a file already there: one that is
// gives std::errc::file_exists and both stay as they were. Where the file system cannot
// rename without replacing (POSIX), a second link is made and the old one removed.
std::error_code RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the file unless another handle holds it as Access::Create leaves the file it made
// (its writer is still at work): such a file stays, std::errc::device_or_resource_busy.
std::error_code RemoveUnlessHeld(const std::filesystem::path& path);

// Whether a handle made by Access::Create still holds the file: its writer is still at work.
bool HeldByItsMaker(const std::filesystem::path& path);

// A whole file read into `bytes`; one larger than `most` bytes gives
// std::errc::file_too_large and is not read.
std::error_code ReadWholeFile(const std::filesystem::path& path, std::int64_t most, std::string& bytes);

// A file name as this system compares names in a folder: on Windows without regard to
// letter case (upper-cased), elsewhere byte for byte (as it is). Two names with one key
// cannot both lie in one folder.
std::filesystem::path::string_type NameKey(const std::filesystem::path& name);

#ifdef _WIN32
// The name the file calls are given for a path: the path itself, or for one too long for
// the plain form, its full path marked as long.
std::wstring FileCallName(const std::filesystem::path& path);
#endif

class RawFile {
 public:
  // Create: a new file, readable and writable by its owner only; an existing one is
  // std::errc::file_exists. Held until closed only against RemoveUnlessHeld and
  // seen by HeldByItsMaker.
  enum class Access { Read, ReadWrite, Create };

  RawFile() = default;
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;
  ~RawFile();

  // How firmly a file opened for writing is held against other programs until it is closed.
  enum class Hold {
    // Not at all: opened for reading, or a file system that grants neither lease nor lock.
    None,
    // Only against programs that ask for the same lock (an advisory lock): a program that
    // writes without asking can still change the file in between.
    Lock,
    // Against every other program: none had the file open, and none can write it until it is
    // closed (a write lease on Linux, a sharing mode that admits no other writer on Windows).
    Exclusive,
  };

  // Opens an existing regular file; never creates one but with Access::Create. A file open
  // before is closed first.
  // A directory gives std::errc::is_a_directory, any other kind of file NotARegularFile().
  // Opened for writing, the file is held until it is closed: Exclusive where the system
  // allows it (on Linux the file's owner, or a program with the lease capability, on a file
  // system that grants leases; on Windows always, which also keeps renames and deletes out),
  // else by a lock. A file another program has open (for the lease) or holds (for the lock)
  // for more than about a second gives std::errc::device_or_resource_busy; so does, for a
  // read, a file another holds Exclusive for that long.
  std::error_code Open(const std::filesystem::path& path, Access access);
  Hold hold() const { return hold_; }
  std::error_code Identity(FileIdentity& identity) const;
  std::error_code Size(std::int64_t& size) const;
  // The size the file had when it was opened; where the open already asked the system for
  // it (POSIX), without asking again. A read right after the open needs no fresher size.
  std::error_code SizeAtOpen(std::int64_t& size) const;
  // Reads up to buffer.size() bytes at offset; `got` tells how many arrived, fewer only at
  // the end of the file.
  std::error_code ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer, std::size_t& got) const;
  // Writes all of data at offset, or fails.
  std::error_code WriteAt(std::int64_t offset, std::span<const std::uint8_t> data);
  // Writes all of data at the end the file has at the moment of the write (on Linux; where
  // the system cannot, at `end`), so that nothing another program appended just before is
  // overwritten, or fails. `written` tells how many bytes went out, a failure's too.
  std::error_code WriteAtEnd(std::int64_t end, std::span<const std::uint8_t> data, std::size_t& written);
  std::error_code Truncate(std::int64_t size);
  // When the file was last written, in the system's own units, to be given back after a
  // write that should not count as one (--keep-times).
  std::error_code ModifiedTime(std::int64_t& time) const;
  std::error_code SetModifiedTime(std::int64_t time);
  // Closes the file and reports what the system said; the destructor closes silently.
  // Every other call above but Open needs the file open.
  std::error_code Close();

 private:
  Hold hold_ = Hold::None;
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
  int fd_ = -1;
  std::int64_t sizeAtOpen_ = 0;
  FileIdentity identity_;
#endif
};

}  // namespace pelmix
