// Platform file calls behind RawFile: wide-character calls on Windows, POSIX elsewhere.
#include "core/raw_file.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace pelmix {
namespace {

// Another pelmix holds a file for the microseconds of one read and write; a hold longer
// than this belongs to a program that will not let go soon.
constexpr auto kHoldPatience = std::chrono::seconds(1);
constexpr auto kHoldRetry = std::chrono::milliseconds(2);

class FileKindCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "pelmix file kind"; }
  std::string message(int) const override { return "not a regular file"; }
};

}  // namespace

std::error_code NotARegularFile() {
  static const FileKindCategory category;
  return {1, category};
}

#ifdef _WIN32

namespace {

// Callers compare with std::errc, so the common Windows errors are given as generic codes.
std::error_code LastError() {
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILE_TOO_LARGE: return std::make_error_code(std::errc::file_too_large);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return std::make_error_code(std::errc::file_exists);
    default: return std::error_code(static_cast<int>(error), std::system_category());
  }
}

OVERLAPPED At(std::int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return at;
}

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

// Windows refuses names of MAX_PATH characters or more unless they are absolute and marked
// as such; a dropped or chosen file may lie much deeper than that. The marked form skips
// the system's own clean-up of the name, so it is made from the full path.
std::wstring FileCallName(const std::filesystem::path& path) {
  const std::wstring& name = path.native();
  constexpr std::size_t kShortEnough = 248;  // room left for an 8.3 name, as the system counts
  const bool marked = name.rfind(L"\\\\?\\", 0) == 0 || name.rfind(L"\\\\.\\", 0) == 0;
  if (name.size() < kShortEnough || marked) return name;
  const DWORD needed = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return name;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(name.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return name;
  full.resize(written);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::error_code StatusOf(const std::filesystem::path& path, FileStatus& status) {
  // No access rights asked: this looks at the file without getting in anyone's way.
  const HANDLE handle = CreateFileW(FileCallName(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL got = GetFileInformationByHandle(handle, &info);
  const std::error_code error = got ? std::error_code{} : LastError();
  CloseHandle(handle);
  if (!error) {
    status.identity = IdentityFrom(info);
    status.size = static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  }
  return error;
}

std::error_code RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  // Without MOVEFILE_REPLACE_EXISTING an existing target is refused, and without
  // MOVEFILE_COPY_ALLOWED nothing is copied: a rename within one folder only.
  if (!MoveFileExW(FileCallName(from).c_str(), FileCallName(to).c_str(), 0)) return LastError();
  return {};
}

// A file made by Create admits no one who would delete it while it is open.
std::error_code RemoveUnlessHeld(const std::filesystem::path& path) {
  if (!DeleteFileW(FileCallName(path).c_str())) return LastError();
  return {};
}

// A reader that admits no writer is refused while the maker's handle, a writer's, is open.
bool HeldByItsMaker(const std::filesystem::path& path) {
  const HANDLE handle = CreateFileW(FileCallName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

std::wstring NameKey(const std::filesystem::path& name) {
  const std::wstring& text = name.native();
  if (text.empty() || text.size() > 0x7FFFFFFF) return text;
  std::wstring upper(text.size(), L'\0');
  const int size = static_cast<int>(text.size());
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), size, upper.data(), size) != size) return text;
  return upper;
}

RawFile::~RawFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::error_code RawFile::Open(const std::filesystem::path& path, Access access) {
  // A handle opened before would leak, and with it its hold on the file.
  Close();
  const bool writing = access != Access::Read;
  const DWORD rights = writing ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  // A writer admits no other writer until it closes, and nobody who would take the name
  // from the file (a rename over it, a delete): under Wine a deleted file stays writable by
  // name until closed. Readers are welcome.
  const DWORD sharing = writing ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const std::wstring name = FileCallName(path);
  const auto deadline = std::chrono::steady_clock::now() + kHoldPatience;
  for (;;) {
    handle_ = CreateFileW(name.c_str(), rights, sharing, nullptr, access == Access::Create ? CREATE_NEW : OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE || !writing || GetLastError() != ERROR_SHARING_VIOLATION ||
        std::chrono::steady_clock::now() >= deadline) {
      break;
    }
    std::this_thread::sleep_for(kHoldRetry);
  }
  if (handle_ == INVALID_HANDLE_VALUE) {
    std::error_code error = LastError();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error = std::make_error_code(std::errc::is_a_directory);
    }
    return error;
  }
  if (GetFileType(handle_) != FILE_TYPE_DISK) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return NotARegularFile();
  }
  if (writing) hold_ = Hold::Exclusive;
  return {};
}

std::error_code RawFile::Identity(FileIdentity& identity) const {
  assert(handle_ != INVALID_HANDLE_VALUE);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle_, &info)) return LastError();
  identity = IdentityFrom(info);
  return {};
}

std::error_code RawFile::Size(std::int64_t& size) const {
  assert(handle_ != INVALID_HANDLE_VALUE);
  LARGE_INTEGER value{};
  if (!GetFileSizeEx(handle_, &value)) return LastError();
  size = value.QuadPart;
  return {};
}

std::error_code RawFile::SizeAtOpen(std::int64_t& size) const { return Size(size); }

std::error_code RawFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer, std::size_t& got) const {
  assert(handle_ != INVALID_HANDLE_VALUE);
  got = 0;
  // One call reads at most what a DWORD counts: a buffer of 4 GiB or more (a whole journal
  // file) is read in pieces, until it is full or the file ends.
  constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
  while (got < buffer.size()) {
    OVERLAPPED at = At(offset + static_cast<std::int64_t>(got));
    DWORD read = 0;
    const auto want = static_cast<DWORD>(std::min(buffer.size() - got, kMostAtOnce));
    if (!ReadFile(handle_, buffer.data() + got, want, &read, &at)) {
      if (GetLastError() != ERROR_HANDLE_EOF) return LastError();
    }
    if (read == 0) break;
    got += read;
  }
  return {};
}

namespace {

std::error_code WriteAllAt(HANDLE handle, std::int64_t offset, std::span<const std::uint8_t> data,
                           std::size_t& written) {
  assert(handle != INVALID_HANDLE_VALUE);
  written = 0;
  while (written < data.size()) {
    OVERLAPPED at = At(offset + static_cast<std::int64_t>(written));
    DWORD piece = 0;
    if (!WriteFile(handle, data.data() + written, static_cast<DWORD>(data.size() - written), &piece, &at)) {
      return LastError();
    }
    if (piece == 0) return std::make_error_code(std::errc::io_error);
    written += piece;
  }
  return {};
}

}  // namespace

std::error_code RawFile::WriteAt(std::int64_t offset, std::span<const std::uint8_t> data) {
  std::size_t written = 0;
  return WriteAllAt(handle_, offset, data, written);
}

// Held for writing, the file admits no other writer: its end is where it was.
std::error_code RawFile::WriteAtEnd(std::int64_t end, std::span<const std::uint8_t> data, std::size_t& written) {
  return WriteAllAt(handle_, end, data, written);
}

std::error_code RawFile::Truncate(std::int64_t size) {
  assert(handle_ != INVALID_HANDLE_VALUE);
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = size;
  if (!SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end)) return LastError();
  return {};
}

std::error_code RawFile::ModifiedTime(std::int64_t& time) const {
  assert(handle_ != INVALID_HANDLE_VALUE);
  FILETIME written{};
  if (!GetFileTime(handle_, nullptr, nullptr, &written)) return LastError();
  time = static_cast<std::int64_t>((std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
  return {};
}

std::error_code RawFile::SetModifiedTime(std::int64_t time) {
  assert(handle_ != INVALID_HANDLE_VALUE);
  // Set on the handle, the time also stays when the handle is closed after a write.
  FILETIME written{};
  written.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(time) & 0xFFFFFFFFu);
  written.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(time) >> 32);
  if (!SetFileTime(handle_, nullptr, nullptr, &written)) return LastError();
  return {};
}

std::error_code RawFile::Close() {
  hold_ = Hold::None;
  if (handle_ == INVALID_HANDLE_VALUE) return {};
  const BOOL closed = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  return closed ? std::error_code{} : LastError();
}

#else

namespace {

std::error_code Errno() { return std::error_code(errno, std::generic_category()); }

std::error_code Busy() { return std::make_error_code(std::errc::device_or_resource_busy); }

// Another program opening a file we hold a lease on sends us a signal that would end the
// process by default; the open itself waits for our close, so the signal needs no answer.
// A handler a program installed itself is left alone.
void KeepLeaseBreaksHarmless() {
  static const bool installed = [] {
    struct sigaction current {};
    if (::sigaction(SIGIO, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return false;
    struct sigaction harmless {};
    harmless.sa_handler = [](int) {};
    harmless.sa_flags = SA_RESTART;
    sigemptyset(&harmless.sa_mask);
    return ::sigaction(SIGIO, &harmless, nullptr) == 0;
  }();
  (void)installed;
}

enum class Lease { Held, OthersHaveItOpen, Refused };

// A write lease is granted only while no other descriptor has the file open, and until it
// is released every other open of the file waits (or, non-blocking, is refused), a program
// that takes no lock included. Only the file's owner or a program with the lease capability
// gets one, and only on a file system that grants them.
Lease TakeLease(int fd) {
  KeepLeaseBreaksHarmless();
  if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) return Lease::Held;
  return errno == EAGAIN ? Lease::OthersHaveItOpen : Lease::Refused;
}

// An exclusive advisory lock, where no lease is had: other pelmix processes wait for it,
// briefly. A file system without locks leaves the file unheld rather than unwritable.
std::error_code TakeLock(int fd, RawFile::Hold& hold) {
  const auto deadline = std::chrono::steady_clock::now() + kHoldPatience;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      hold = RawFile::Hold::Lock;
      return {};
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return {};
    if (std::chrono::steady_clock::now() >= deadline) return Busy();
    std::this_thread::sleep_for(kHoldRetry);
  }
}

}  // namespace

std::error_code StatusOf(const std::filesystem::path& path, FileStatus& status) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return Errno();
  status.identity = {static_cast<std::uint64_t>(named.st_dev), static_cast<std::uint64_t>(named.st_ino)};
  status.size = named.st_size;
  return {};
}

std::error_code RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  // A file system that cannot rename without replacing says EINVAL (an old kernel ENOSYS):
  // link() never replaces either. A plain rename() would.
  if (errno != EINVAL && errno != ENOSYS) return Errno();
  if (::link(from.c_str(), to.c_str()) != 0) return Errno();
  if (::unlink(from.c_str()) != 0) {
    const std::error_code error = Errno();
    ::unlink(to.c_str());  // the file keeps its one old name
    return error;
  }
  return {};
}

// A file made by Create carries its writer's lock until closed; a file system without locks
// cannot tell, and the file goes.
std::error_code RemoveUnlessHeld(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd >= 0) {
    int locked = 0;
    while ((locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    const bool held = locked != 0 && errno == EWOULDBLOCK;
    // Removed while the lock is ours, so that no writer takes the file up in between.
    const int removed = held ? 0 : ::unlink(path.c_str());
    const std::error_code error = removed == 0 ? std::error_code{} : Errno();
    ::close(fd);
    return held ? Busy() : error;
  }
  if (errno == ENOENT) return Errno();
  return ::unlink(path.c_str()) == 0 ? std::error_code{} : Errno();
}

bool HeldByItsMaker(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  int locked = 0;
  while ((locked = ::flock(fd, LOCK_SH | LOCK_NB)) != 0 && errno == EINTR) {
  }
  const bool held = locked != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

std::string NameKey(const std::filesystem::path& name) { return name.native(); }

RawFile::~RawFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::error_code RawFile::Open(const std::filesystem::path& path, Access access) {
  // A descriptor opened before would leak, and with it its hold on the file.
  Close();
  const bool writing = access == Access::ReadWrite;
  // O_NONBLOCK: a FIFO or device under an .mp3 name must not hang the open; it is refused
  // below. It also makes an open of a file another holds a lease on fail at once, so that
  // the wait below stays ours to bound.
  int flags = (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  // A new file (a journal's) is made owner-only, and never over one that exists.
  if (access == Access::Create) flags |= O_CREAT | O_EXCL;
  const auto deadline = std::chrono::steady_clock::now() + kHoldPatience;
  std::error_code error;
  for (;;) {
    fd_ = ::open(path.c_str(), flags, 0600);
    if (fd_ < 0) {
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) return Errno();
    } else if (!writing) {
      break;
    } else {
      const Lease lease = TakeLease(fd_);
      if (lease == Lease::Held) {
        hold_ = Hold::Exclusive;
        break;
      }
      if (lease == Lease::Refused) {
        error = TakeLock(fd_, hold_);
        break;
      }
      // Another program has it open. Ours is let go while we wait: another pelmix waiting
      // for the same file would otherwise never get its lease either.
      ::close(fd_);
      fd_ = -1;
    }
    if (std::chrono::steady_clock::now() >= deadline) return Busy();
    std::this_thread::sleep_for(kHoldRetry);
  }
  // The size is taken once the file is held, so that it is the one the write will find.
  struct stat status {};
  if (!error && ::fstat(fd_, &status) != 0) error = Errno();
  if (!error && S_ISDIR(status.st_mode)) error = std::make_error_code(std::errc::is_a_directory);
  if (!error && !S_ISREG(status.st_mode)) error = NotARegularFile();
  if (error) {
    Close();
    return error;
  }
  // A file just made is kept from RemoveUnlessHeld until it is closed: its writer is at work.
  if (access == Access::Create && ::flock(fd_, LOCK_EX | LOCK_NB) == 0) hold_ = Hold::Lock;
  sizeAtOpen_ = status.st_size;
  identity_ = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
  return {};
}

std::error_code RawFile::Identity(FileIdentity& identity) const {
  identity = identity_;
  return {};
}

std::error_code RawFile::Size(std::int64_t& size) const {
  assert(fd_ >= 0);
  struct stat status {};
  if (::fstat(fd_, &status) != 0) return Errno();
  size = status.st_size;
  return {};
}

std::error_code RawFile::SizeAtOpen(std::int64_t& size) const {
  size = sizeAtOpen_;
  return {};
}

std::error_code RawFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer, std::size_t& got) const {
  assert(fd_ >= 0);
  got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::pread(fd_, buffer.data() + got, buffer.size() - got,
                              static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno();
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return {};
}

namespace {

// Writes what is left of `data` after `written` bytes at `offset`, counting what arrives.
std::error_code WriteRestAt(int fd, std::int64_t offset, std::span<const std::uint8_t> data, std::size_t& written) {
  while (written < data.size()) {
    const ssize_t n = ::pwrite(fd, data.data() + written, data.size() - written,
                               static_cast<off_t>(offset) + static_cast<off_t>(written));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno();
    }
    if (n == 0) return std::make_error_code(std::errc::io_error);
    written += static_cast<std::size_t>(n);
  }
  return {};
}

}  // namespace

std::error_code RawFile::WriteAt(std::int64_t offset, std::span<const std::uint8_t> data) {
  assert(fd_ >= 0);
  std::size_t written = 0;
  return WriteRestAt(fd_, offset, data, written);
}

std::error_code RawFile::WriteAtEnd(std::int64_t end, std::span<const std::uint8_t> data, std::size_t& written) {
  assert(fd_ >= 0);
  written = 0;
#ifdef RWF_APPEND
  while (written < data.size()) {
    iovec piece{const_cast<std::uint8_t*>(data.data() + written), data.size() - written};
    const ssize_t n = ::pwritev2(fd_, &piece, 1, 0, RWF_APPEND);
    if (n < 0) {
      if (errno == EINTR) continue;
      // A kernel from before appends by the write: the end the caller saw is the best left.
      if (errno == EOPNOTSUPP) break;
      return Errno();
    }
    if (n == 0) return std::make_error_code(std::errc::io_error);
    written += static_cast<std::size_t>(n);
  }
#endif
  return WriteRestAt(fd_, end, data, written);
}

std::error_code RawFile::Truncate(std::int64_t size) {
  assert(fd_ >= 0);
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Errno();
  return {};
}

std::error_code RawFile::ModifiedTime(std::int64_t& time) const {
  assert(fd_ >= 0);
  struct stat status {};
  if (::fstat(fd_, &status) != 0) return Errno();
  // Nanoseconds in 64 bits reach from 1677 to 2262: a time outside cannot be kept, and must
  // not wrap round to another.
  constexpr std::int64_t kBillion = 1'000'000'000;
  const auto seconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
  if (seconds > INT64_MAX / kBillion - 1 || seconds < INT64_MIN / kBillion + 1) {
    return std::make_error_code(std::errc::value_too_large);
  }
  time = seconds * kBillion + status.st_mtim.tv_nsec;
  return {};
}

std::error_code RawFile::SetModifiedTime(std::int64_t time) {
  assert(fd_ >= 0);
  // On the descriptor, not by name: a file renamed onto the name meanwhile keeps its own time.
  constexpr std::int64_t kBillion = 1'000'000'000;
  std::int64_t seconds = time / kBillion;
  std::int64_t nanoseconds = time % kBillion;
  if (nanoseconds < 0) {  // a time before 1970
    nanoseconds += kBillion;
    --seconds;
  }
  const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
  if (::futimens(fd_, times) != 0) return Errno();
  return {};
}

std::error_code RawFile::Close() {
  // Closing the descriptor lets go of its lease or lock.
  hold_ = Hold::None;
  if (fd_ < 0) return {};
  // No retry on EINTR: the descriptor is gone either way.
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? std::error_code{} : Errno();
}

#endif

std::error_code ReadWholeFile(const std::filesystem::path& path, std::int64_t most, std::string& bytes) {
  RawFile file;
  std::int64_t size = 0;
  if (std::error_code error = file.Open(path, RawFile::Access::Read)) return error;
  if (std::error_code error = file.SizeAtOpen(size)) return error;
  if (size > most) return std::make_error_code(std::errc::file_too_large);
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  const std::error_code error = file.ReadAt(0, std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()),
                                            got);
  bytes.resize(got);
  return error;
}

}  // namespace pelmix
