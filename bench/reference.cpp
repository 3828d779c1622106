// The yardstick for pelmix-cli stamp: the fewest system calls that give each file track
// number 7: open, find the end, one 128-byte read there, one 128-byte write, close.
// With --guarded first, it also pays for the guard pelmix-cli keeps on every write: the
// file's identity and size from the handle, a write lease from the read to the write (a
// lock where no lease is granted), so the 128 bytes read need no second look, and a look at
// the name, so that a file renamed onto it in between is not written. POSIX only; it is
// built and run by the benchmark script.
#include <array>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr off_t kTagBytes = 128;
constexpr std::uint8_t kTrack = 7;

// The end of the file, and in guarded mode its identity, held under the lease or the lock.
bool FindEnd(int fd, bool guarded, off_t& end, struct stat& held) {
  if (!guarded) {
    end = ::lseek(fd, 0, SEEK_END);
    return end >= 0;
  }
  const bool leased = ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
  if ((!leased && ::flock(fd, LOCK_EX | LOCK_NB) != 0) || ::fstat(fd, &held) != 0) return false;
  end = held.st_size;
  return true;
}

// Guarded mode: the name still names the file held, as long as it was.
bool StillAsRead(const char* name, const struct stat& held, off_t end) {
  struct stat now {};
  return ::stat(name, &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino && now.st_size == end;
}

}  // namespace

int main(int argc, char** argv) {
  const bool guarded = argc > 1 && std::strcmp(argv[1], "--guarded") == 0;
  // Another program opening a leased file would end us by default.
  if (guarded) std::signal(SIGIO, [](int) {});
  int failed = 0;
  for (int i = guarded ? 2 : 1; i < argc; ++i) {
    const int fd = ::open(argv[i], O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      failed = 1;
      continue;
    }
    std::array<std::uint8_t, kTagBytes> record{};
    struct stat held {};
    off_t end = 0;
    if (!FindEnd(fd, guarded, end, held)) {
      failed = 1;
      ::close(fd);
      continue;
    }
    off_t at = end;
    const bool tagged = end > kTagBytes && ::pread(fd, record.data(), record.size(), end - kTagBytes) == kTagBytes &&
                        std::memcmp(record.data(), "TAG", 3) == 0;
    if (tagged) {
      at = end - kTagBytes;
    } else {
      record.fill(0);
      std::memcpy(record.data(), "TAG", 3);
      record[127] = 255;
    }
    if (guarded && !StillAsRead(argv[i], held, end)) {
      failed = 1;
      ::close(fd);
      continue;
    }
    record[125] = 0;
    record[126] = kTrack;
    if (::pwrite(fd, record.data(), record.size(), at) != kTagBytes) failed = 1;
    if (::close(fd) != 0) failed = 1;
  }
  return failed;
}
