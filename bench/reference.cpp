// The yardstick for pelmix-cli stamp: the fewest system calls that give each file track
// number 7: open, find the end, one 128-byte read there, one 128-byte write, close.
// With --guarded first, it also pays for the guard pelmix-cli keeps on every write: the
// file's identity and size from the handle, a write lease from the read to the write (a
// lock where no lease is granted), so the 128 bytes read need no second look, and a look at
// the name, so that a file renamed onto it in between is not written. With --journal-in DIR
// it also journals each file in one write call before its write; with --mapped-journal-in DIR
// it copies the same record into a shared mapping of the journal file instead, which the
// system keeps when the process is killed, as it keeps a write: a journal whose records cost
// no system call. Linux only; it is built and run by the benchmark script.
#include <array>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr off_t kTagBytes = 128;
constexpr std::uint8_t kTrack = 7;
constexpr std::string_view kHeader = "header";

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

// A journal's file for this run in the folder, or -1.
int OpenJournal(const char* folder) {
  // Unique across runs: a shell loop may see a process number again.
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::string name = std::string(folder) + "/" + std::to_string(::getpid()) + "-" + std::to_string(now.tv_sec) +
                           "-" + std::to_string(now.tv_nsec) + ".journal";
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
  if (fd >= 0 && ::write(fd, kHeader.data(), kHeader.size()) != static_cast<ssize_t>(kHeader.size())) return -1;
  return fd;
}

// The journal file's shared mapping, grown a MiB at a time with its blocks allocated first,
// so that a full disk fails the growth rather than a later copy.
struct Mapping {
  char* bytes = nullptr;
  std::size_t used = 0;
  std::size_t size = 0;
};

bool CopyIn(int journal, Mapping& mapping, const iovec* parts, int count, std::size_t total) {
  if (mapping.used + total > mapping.size) {
    const std::size_t size = mapping.size + (std::size_t{1} << 20);
    if (::posix_fallocate(journal, 0, static_cast<off_t>(size)) != 0) return false;
    void* bytes = mapping.bytes ? ::mremap(mapping.bytes, mapping.size, size, MREMAP_MAYMOVE)
                                : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, journal, 0);
    if (bytes == MAP_FAILED) return false;
    mapping.bytes = static_cast<char*>(bytes);
    mapping.size = size;
  }
  for (int i = 0; i < count; ++i) {
    std::memcpy(mapping.bytes + mapping.used, parts[i].iov_base, parts[i].iov_len);
    mapping.used += parts[i].iov_len;
  }
  return true;
}

// One write call, or a copy into the mapping: the file's identity and size, its last 128
// bytes before and after, its name.
bool Journal(int journal, Mapping* mapping, const char* name, const struct stat& held, const std::uint8_t* before,
             const std::uint8_t* after) {
  const std::array<std::uint64_t, 3> identity = {static_cast<std::uint64_t>(held.st_dev),
                                                 static_cast<std::uint64_t>(held.st_ino),
                                                 static_cast<std::uint64_t>(held.st_size)};
  const iovec parts[] = {{const_cast<std::uint64_t*>(identity.data()), sizeof(identity)},
                         {const_cast<std::uint8_t*>(before), kTagBytes},
                         {const_cast<std::uint8_t*>(after), kTagBytes},
                         {const_cast<char*>(name), std::strlen(name)}};
  const ssize_t size = static_cast<ssize_t>(sizeof(identity) + 2 * kTagBytes + std::strlen(name));
  if (mapping) return CopyIn(journal, *mapping, parts, 4, static_cast<std::size_t>(size));
  return ::writev(journal, parts, 4) == size;
}

}  // namespace

int main(int argc, char** argv) {
  const bool mapped = argc > 2 && std::strcmp(argv[1], "--mapped-journal-in") == 0;
  const bool journaled = mapped || (argc > 2 && std::strcmp(argv[1], "--journal-in") == 0);
  Mapping mapping{.used = kHeader.size()};
  const bool guarded = journaled || (argc > 1 && std::strcmp(argv[1], "--guarded") == 0);
  const int journal = journaled ? OpenJournal(argv[2]) : -1;
  if (journaled && journal < 0) return 2;
  // Another program opening a leased file would end us by default.
  if (guarded) std::signal(SIGIO, [](int) {});
  int failed = 0;
  for (int i = journaled ? 3 : guarded ? 2 : 1; i < argc; ++i) {
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
    const std::array<std::uint8_t, kTagBytes> before = record;
    record[125] = 0;
    record[126] = kTrack;
    if (journaled && !Journal(journal, mapped ? &mapping : nullptr, argv[i], held, before.data(), record.data())) {
      failed = 1;
      ::close(fd);
      continue;
    }
    if (::pwrite(fd, record.data(), record.size(), at) != kTagBytes) failed = 1;
    if (::close(fd) != 0) failed = 1;
  }
  // The mapping's unused tail goes; the header written first stays ahead of the records.
  if (mapping.bytes &&
      (::munmap(mapping.bytes, mapping.size) != 0 || ::ftruncate(journal, static_cast<off_t>(mapping.used)) != 0)) {
    failed = 1;
  }
  if (journaled && ::close(journal) != 0) failed = 1;
  return failed;
}
