// Two real files of arbitrary size and content (a sparse hole may put their end past
// 2 GiB or 4 GiB) driven through the editing session by a sequence of window actions and
// outside changes decoded from the input. After every step: a file no write was made to
// is unchanged, a write that failed left its file unchanged, a write that succeeded
// changed only the last 128 bytes (or appended 128) to what the session holds, the audio
// never changes, a write of values the file already holds leaves it identical, and a file
// another program changed since the session read it is not written.
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/genre_list.h"
#include "fuzz/require.h"
#include "session/tag_edit_session.h"
#include "tests/support/model_layout.h"
#include "tests/support/recording_exchange.h"

namespace {

namespace fs = std::filesystem;
using pelmix::BoundValues;
using pelmix::EditMode;
using pelmix::TagField;
using pelmix::fuzz::Require;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kPage = 4096;
constexpr std::int64_t kTagBytes = 128;
// Where a file's stored bytes begin: the rest before them is a hole of zeros.
constexpr std::int64_t kHoles[] = {0, 0, 0, (std::int64_t{1} << 31) - kPage, std::int64_t{1} << 32};

// Never destroyed, so that the handler removing the folder at exit can still name it.
const fs::path& WorkDir() {
  static const fs::path& dir = *[] {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    auto* made = new fs::path(base / ("pelmix-fuzz-session-" + std::to_string(getpid())));
    fs::create_directories(*made);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(WorkDir(), ignored);
    });
    return made;
  }();
  return dir;
}

// A file as the checks see it: its size and its bytes from `base` on; before base, only zeros
// that were never written (the system reports no data there).
struct Image {
  std::int64_t size = 0;
  std::int64_t base = 0;
  Bytes bytes;

  bool EndsInTag() const {
    return size > kTagBytes && bytes.size() >= static_cast<std::size_t>(kTagBytes) &&
           std::equal(bytes.end() - kTagBytes, bytes.end() - kTagBytes + 3, "TAG");
  }
  Bytes LastTag() const { return Bytes(bytes.end() - std::min<std::ptrdiff_t>(kTagBytes, bytes.size()), bytes.end()); }
  friend bool operator==(const Image&, const Image&) = default;
};

struct TestFile {
  fs::path path;
  std::int64_t base = 0;
  // Bytes before this never change: what lies before the trailer of the file as it was
  // made or as an outside change left it.
  std::int64_t audioEnd = 0;
  Image audioImage;
  // The file as the session last read or wrote it, when it is the session's current file.
  std::optional<Image> seen;
};

int OpenOrDie(const fs::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  Require(fd >= 0, "the test file opens");
  return fd;
}

Image Snap(const TestFile& file) {
  const int fd = OpenOrDie(file.path, O_RDONLY);
  Image image;
  image.size = ::lseek(fd, 0, SEEK_END);
  image.base = std::min(file.base, image.size / kPage * kPage);
  if (image.base > 0) {
    errno = 0;
    const off_t data = ::lseek(fd, 0, SEEK_DATA);
    Require((data < 0 && errno == ENXIO) || data >= image.base, "nothing was written into the hole");
  }
  image.bytes.resize(static_cast<std::size_t>(image.size - image.base));
  Require(::pread(fd, image.bytes.data(), image.bytes.size(), image.base) == static_cast<ssize_t>(image.bytes.size()),
          "the test file reads back");
  ::close(fd);
  return image;
}

std::uint8_t Snapped(const Image& image, std::int64_t at) {
  return at < image.base ? 0 : image.bytes[static_cast<std::size_t>(at - image.base)];
}

void Protect(TestFile& file) {
  file.audioImage = Snap(file);
  // A file cut into its hole may get data written below where its bytes began.
  file.base = file.audioImage.base;
  file.audioEnd = file.audioImage.size - (file.audioImage.EndsInTag() ? kTagBytes : 0);
}

void CheckAudio(const TestFile& file, const Image& now) {
  Require(now.size >= file.audioEnd, "the audio is all there");
  const Image& then = file.audioImage;
  const std::int64_t from = std::max(now.base, then.base);
  for (std::int64_t at = from; at < file.audioEnd; ++at) {
    Require(now.bytes[static_cast<std::size_t>(at - now.base)] == then.bytes[static_cast<std::size_t>(at - then.base)],
            "no audio byte changed");
  }
}

class WatchedAccess final : public pelmix::TagAccess {
 public:
  std::map<fs::path, int> writes;
  pelmix::WriteResult lastResult;
  Bytes lastRecord;

  pelmix::ReadResult Read(const fs::path& path, pelmix::TagRecord& record, std::int64_t& tagOffset,
                          bool holdForWrite) override {
    return files_.Read(path, record, tagOffset, holdForWrite);
  }
  void Release() override { files_.Release(); }
  pelmix::WriteResult Write(const fs::path& path, const pelmix::TagRecord& record, std::int64_t tagOffset,
                            const pelmix::TagSeen& seen) override {
    ++writes[path];
    lastResult = files_.Write(path, record, tagOffset, seen);
    lastRecord.assign(record.bytes().begin(), record.bytes().end());
    return lastResult;
  }

 private:
  pelmix::FileTagAccess files_;
};

using Span = pelmix::test::ModelSpan;
constexpr const auto& kTextSpans = pelmix::test::kModelTextSpans;

// The byte a track text that was written stands for: its decimal value (only texts of
// digits worth 1 to 255, or the empty text, are ever written).
std::uint8_t TrackByte(const std::string& text) {
  return text.empty() ? 0 : static_cast<std::uint8_t>(std::strtol(text.c_str(), nullptr, 10));
}

// Whether writing the ticked values into this trailer would leave every byte of it as it is.
bool ChangesNothing(const BoundValues& values, const Bytes& trailer, const pelmix::GenreList& genres) {
  for (const Span& span : kTextSpans) {
    if (values.updateFlag[span.field] != 1) continue;
    std::string stored = values.fields.Text(span.field).substr(0, static_cast<std::size_t>(span.width));
    stored.resize(static_cast<std::size_t>(span.width), '\0');
    if (!std::equal(stored.begin(), stored.end(), trailer.begin() + span.offset)) {
      return false;
    }
  }
  if (values.updateFlag[TagField::Track] == 1 && TrackByte(values.fields.trackText) != trailer[126]) return false;
  if (values.updateFlag[TagField::Genre] == 1) {
    const int index = values.fields.genreIndex;
    const bool named = index >= 0 && index < genres.Count();
    const std::uint8_t genre =
        named ? static_cast<std::uint8_t>(genres.entries()[static_cast<std::size_t>(index)].code & 0xFF) : 255;
    if (genre != trailer[127]) return false;
  }
  return true;
}

const pelmix::GenreList& Genres() {
  static const pelmix::GenreList genres = [] {
    pelmix::GenreList list;
    list.Add("Rock", 17);
    list.Add("blues", 0);
    list.Add("Blues", 0);
    list.Add("Too Big", 300);
    list.Add("Negative", -1);
    list.Add("None", 255);
    return list;
  }();
  return genres;
}

void MakeFile(TestFile& file, FuzzedDataProvider& input) {
  file.base = kHoles[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kHoles) - 1)];
  Bytes content = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 700));
  // Give the fuzzer a trailer often: random bytes rarely end in one.
  if (input.ConsumeBool() && content.size() >= static_cast<std::size_t>(kTagBytes)) {
    std::copy_n("TAG", 3, content.end() - kTagBytes);
  }
  const int fd = OpenOrDie(file.path, O_RDWR | O_CREAT | O_TRUNC);
  Require(::ftruncate(fd, file.base) == 0, "the hole is made");
  Require(::pwrite(fd, content.data(), content.size(), file.base) == static_cast<ssize_t>(content.size()),
          "the test file is written");
  ::close(fd);
  Protect(file);
}

// Another program appends to the file or cuts it short, or rewrites a byte of its end.
void ChangeOutside(TestFile& file, FuzzedDataProvider& input) {
  const Image before = Snap(file);
  std::int64_t by = input.ConsumeIntegralInRange<std::int64_t>(-300, 300);
  const int fd = OpenOrDie(file.path, O_RDWR);
  if (by == 0 && before.size > 0) {
    // One byte of the last 128 (or fewer) made different from what it was.
    const std::int64_t at = before.size - 1 -
                            input.ConsumeIntegralInRange<std::int64_t>(0, std::min(before.size, kTagBytes) - 1);
    const std::uint8_t byte = static_cast<std::uint8_t>(Snapped(before, at) + 1 + input.ConsumeIntegralInRange(0, 254));
    Require(::pwrite(fd, &byte, 1, at) == 1, "the outside byte is written");
    // A file ending less than 128 bytes past its hole gets this byte inside the hole: its
    // stored bytes now begin on that byte's page, and only the session's writes must stay above.
    file.base = std::min(file.base, at / kPage * kPage);
  } else if (by > 0) {
    const Bytes added = input.ConsumeBytes<std::uint8_t>(static_cast<std::size_t>(by));
    Bytes extra(static_cast<std::size_t>(by), 0);
    std::copy(added.begin(), added.end(), extra.begin());
    Require(::pwrite(fd, extra.data(), extra.size(), before.size) == by, "the outside append is written");
  } else {
    Require(::ftruncate(fd, std::max<std::int64_t>(0, before.size + by)) == 0, "the outside cut is made");
  }
  ::close(fd);
  Protect(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const pelmix::GenreList& genres = Genres();
  TestFile files[2];
  files[0].path = WorkDir() / "a.mp3";
  files[1].path = WorkDir() / "b.mp3";
  for (TestFile& file : files) MakeFile(file, input);

  pelmix::test::RecordingExchange exchange;
  WatchedAccess access;
  pelmix::TagEditSession session(genres, exchange, &access);
  session.Start();
  BoundValues& controls = exchange.controls;

  for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
    const Image before[2] = {Snap(files[0]), Snap(files[1])};
    const std::map<fs::path, int> writesBefore = access.writes;
    TestFile& target = files[input.ConsumeBool() ? 1 : 0];
    const Image& targetBefore = before[&target == &files[1] ? 1 : 0];
    // Set when the step writes values the written file already holds.
    const TestFile* unchangedWrite = nullptr;

    const int op = input.ConsumeIntegralInRange(0, 9);
    switch (op) {
      case 0:
        controls.mode = input.ConsumeIntegralInRange(-1, 3);
        session.OnModeClicked();
        break;
      case 1: {
        const TagField field = pelmix::kAllTagFields[input.ConsumeIntegralInRange<std::size_t>(0, 6)];
        controls.updateFlag[field] ^= 1;
        session.OnUpdateBoxClicked(field);
        break;
      }
      case 2: {
        const TagField field = pelmix::kAllTagFields[input.ConsumeIntegralInRange<std::size_t>(0, 6)];
        if (pelmix::HasIncrementBox(field)) controls.incrementFlag[field] ^= 1;
        break;
      }
      case 3: {
        constexpr TagField kTexts[] = {TagField::Title, TagField::Artist,  TagField::Album,
                                       TagField::Year,  TagField::Comment, TagField::Track};
        controls.fields.Text(kTexts[input.ConsumeIntegralInRange<std::size_t>(0, 5)]) = input.ConsumeRandomLengthString(
            40);
        break;
      }
      case 4: controls.fields.genreIndex = input.ConsumeIntegralInRange(-2, genres.Count() + 1); break;
      case 5: Require(session.LoadFile(target.path), "an existing file loads"); break;
      case 6:
        if (controls.mode == static_cast<int>(EditMode::AutoUpdate) && targetBefore.EndsInTag() &&
            ChangesNothing(controls, targetBefore.LastTag(), genres)) {
          unchangedWrite = &target;
        }
        session.ProcessFile(target.path);
        break;
      case 7: {
        const TestFile* current = session.currentPath() == files[0].path   ? &files[0]
                                  : session.currentPath() == files[1].path ? &files[1]
                                                                           : nullptr;
        // What the session must take for another program's work: a new length, or for a file
        // read with a trailer, other bytes in it.
        bool changed = false;
        if (current) {
          const Image& now = before[current == &files[1] ? 1 : 0];
          const Image& seen = *current->seen;
          changed = now.size != seen.size || (session.tagOffset() != seen.size && now.LastTag() != seen.LastTag());
          const Bytes held(session.record().bytes().begin(), session.record().bytes().end());
          if (now.EndsInTag() && session.tagOffset() == now.size - kTagBytes && now.LastTag() == held &&
              ChangesNothing(controls, held, genres)) {
            unchangedWrite = current;
          }
        }
        if (session.UpdateTag() == pelmix::FileOutcome::ValueRefused) {
          Require(access.writes == writesBefore, "a refused value writes nothing");
        } else if (current && changed) {
          Require(session.lastWrite().status == pelmix::WriteResult::Status::ChangedSinceRead,
                  "a file changed by another program since it was read is not written");
        } else if (current) {
          Require(session.lastWrite().ok(), "a file as it was read is written");
        }
        break;
      }
      case 8: {
        const BoundValues values = session.values();
        const fs::path current = session.currentPath();
        Require(!session.LoadFile(WorkDir() / "missing.mp3"), "a missing file does not load");
        Require(session.values() == values && session.currentPath() == current, "a failed load changes nothing");
        break;
      }
      default: ChangeOutside(target, input); continue;
    }

    for (int i = 0; i < 2; ++i) {
      const TestFile& file = files[i];
      const Image now = Snap(file);
      CheckAudio(file, now);
      const auto counted = access.writes.find(file.path);
      const auto countedBefore = writesBefore.find(file.path);
      const int writes = (counted == access.writes.end() ? 0 : counted->second) -
                         (countedBefore == writesBefore.end() ? 0 : countedBefore->second);
      Require(writes <= 1, "one step writes at most once");
      if (writes == 0 || !access.lastResult.ok()) {
        Require(now == before[i], "a file not written, or whose write failed, is unchanged");
        continue;
      }
      Require(session.lastWrite().ok(), "the session reports the write that succeeded");
      if (&file == unchangedWrite) Require(now == before[i], "writing what the file holds leaves it identical");
      const Image& was = before[i];
      Require(now.size == was.size || now.size == was.size + kTagBytes, "a file grows by 0 or 128 bytes");
      const std::int64_t keptEnd = now.size == was.size ? was.size - kTagBytes : was.size;
      for (std::int64_t at = std::max(now.base, was.base); at < keptEnd; ++at) {
        Require(
            now.bytes[static_cast<std::size_t>(at - now.base)] == was.bytes[static_cast<std::size_t>(at - was.base)],
            "only the last 128 bytes change");
      }
      Require(now.LastTag() == access.lastRecord, "the file ends in the trailer written");
    }
    // A load, or a write that succeeded, is what the session has seen of its file since.
    for (TestFile& file : files) {
      if (file.path != session.currentPath()) {
        file.seen.reset();
      } else if (op == 5 || op == 6 || (access.writes != writesBefore && session.lastWrite().ok())) {
        file.seen = Snap(file);
      }
    }
  }
  return 0;
}
