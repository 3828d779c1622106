// Random files driven through random sequences of what the window can do, checked against
// the bytes on disk after every step: the audio never changes, a trailer is appended at
// most once, and what lies at the end is what the session last wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/genre_list.h"
#include "session/tag_edit_session.h"
#include "tests/support/model_layout.h"
#include "tests/support/recording_exchange.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

constexpr std::uint32_t kSeed = 20240611;
constexpr int kRounds = 300;
constexpr int kFilesPerRound = 10;
constexpr int kStepsPerRound = 40;

fs::path ResourceDir() { return fs::path(__FILE__).parent_path().parent_path().parent_path() / "res"; }

// The real files underneath, with every write attempt noted.
class WatchedAccess final : public TagAccess {
 public:
  int writes = 0;
  std::map<fs::path, Bytes> lastWritten;

  ReadResult Read(const fs::path& path, TagRecord& record, std::int64_t& tagOffset, bool) override {
    return ReadTagTrailer(path, record, tagOffset);
  }
  WriteResult Write(const fs::path& path, const TagRecord& record, std::int64_t tagOffset,
                    const TagSeen& seen) override {
    ++writes;
    const WriteResult result = WriteTagTrailer(path, record, tagOffset, seen);
    if (result.ok()) lastWritten[path] = Bytes(record.bytes().begin(), record.bytes().end());
    return result;
  }
};

struct FileModel {
  fs::path path;
  Bytes original;
  std::size_t audio = 0;  // original bytes that must never change
  bool tagged = false;
};

// One read call: the byte-wise helper is too slow for this many files under the sanitizers.
Bytes Slurp(const fs::path& path) {
  Bytes bytes(fs::file_size(path));
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(in.good() || bytes.empty()) << path;
  return bytes;
}

bool HasTag(const Bytes& file) {
  return file.size() > kTagSize && std::equal(file.end() - 128, file.end() - 125, "TAG");
}

Bytes RandomFile(std::mt19937& rng) {
  static const std::size_t kEdgeSizes[] = {0, 1, 127, 128, 129, 255, 256};
  std::size_t size = std::uniform_int_distribution<std::size_t>(0, 4096)(rng);
  if (rng() % 3 == 0) size = kEdgeSizes[rng() % std::size(kEdgeSizes)];
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
  if (size >= 128) {
    const char* const kHeads[] = {"TAG", "tag", "TAg", "TAG"};
    std::copy_n(kHeads[rng() % 4], 3, bytes.end() - 128);
  }
  return bytes;
}

std::string RandomText(std::mt19937& rng) {
  // Now and then longer than any field, to be refused.
  std::string text(rng() % 8 == 0 ? 31 + rng() % 10 : rng() % 31, ' ');
  const bool anyByte = rng() % 3 == 0;
  for (char& c : text) {
    // Mostly digits and letters so that counting up has something to do.
    c = anyByte ? static_cast<char>(1 + rng() % 255) : "0123456789 abcXYZ9"[rng() % 18];
  }
  return text;
}

using Span = pelmix::test::ModelSpan;
constexpr const auto& kTextSpans = pelmix::test::kModelTextSpans;

// The field texts a file shows, decoded from its bytes.
FieldValues OnDisk(const Bytes& file) {
  FieldValues shown;
  if (!HasTag(file)) return shown;
  const Bytes tail(file.end() - 128, file.end());
  for (const Span& span : kTextSpans) {
    const auto first = tail.begin() + span.offset;
    shown.Text(span.field) = std::string(first, std::find(first, first + span.width, 0));
  }
  shown.trackText = tail[126] == 0 ? "" : std::to_string(tail[126]);
  return shown;
}

constexpr TagField kTextAndTrack[] = {TagField::Title, TagField::Artist,  TagField::Album,
                                      TagField::Year,  TagField::Comment, TagField::Track};

void CheckFile(const FileModel& file, const WatchedAccess& access) {
  SCOPED_TRACE(file.path.filename().string());
  const Bytes now = Slurp(file.path);
  ASSERT_GE(now.size(), file.audio);
  const auto audioEnd = file.original.begin() + static_cast<std::ptrdiff_t>(file.audio);
  EXPECT_TRUE(std::equal(file.original.begin(), audioEnd, now.begin())) << "audio bytes changed";
  const auto written = access.lastWritten.find(file.path);
  if (written == access.lastWritten.end()) {
    EXPECT_EQ(now, file.original) << "changed without a write";
    return;
  }
  if (file.tagged) {
    EXPECT_EQ(now.size(), file.original.size());
  } else if (file.original.empty()) {
    // An empty file tagged once is 128 bytes long, too short to be read as tagged, so the
    // next load appends a second trailer; from 256 bytes on it reads as tagged.
    EXPECT_TRUE(now.size() == kTagSize || now.size() == 2 * kTagSize) << now.size();
  } else {
    ASSERT_EQ(now.size(), file.original.size() + kTagSize) << "appended more than once";
    EXPECT_TRUE(std::equal(file.original.begin(), file.original.end(), now.begin()));
  }
  EXPECT_EQ(Bytes(now.end() - 128, now.end()), written->second);
}

// The track byte a track text stands for, as the model has it: empty for none, else 1 to
// 255 in ASCII digits; -1 for any other text.
int ModelTrack(const std::string& text) {
  if (text.empty()) return 0;
  if (text.find_first_not_of("0123456789") != std::string::npos) return -1;
  const std::size_t first = text.find_first_not_of('0');
  if (first == std::string::npos || text.size() - first > 3) return -1;
  const int value = std::stoi(text.substr(first));
  return value <= 255 ? value : -1;
}

// Whether the flagged values can all be stored in the file as it was before the step: every
// text within its width, where a comment gives its last byte to a track number new to the
// file (one it did not show, or another number), the track a number the byte can mean, and
// the genre a code the byte can hold.
bool ModelStorable(const FieldValues& values, const TagEditSession& session, const GenreList& genres,
                   const Bytes& fileBefore) {
  const bool hadTag = HasTag(fileBefore);
  const std::uint8_t byte125Before = hadTag ? fileBefore[fileBefore.size() - 3] : 0;
  const std::uint8_t trackBefore = hadTag ? fileBefore[fileBefore.size() - 2] : 0;
  const bool trackFlagged = session.updateFlag(TagField::Track) == 1;
  const int track = trackFlagged ? ModelTrack(values.trackText) : trackBefore;
  if (track < 0) return false;
  const bool takesByte = track != 0 && (byte125Before == 0 || track != trackBefore);
  for (const Span& span : kTextSpans) {
    const std::size_t width = span.field == TagField::Comment && takesByte ? 28 : span.width;
    if (session.updateFlag(span.field) == 1 && values.Text(span.field).size() > width) return false;
  }
  if (session.updateFlag(TagField::Genre) == 1) {
    const int index = values.genreIndex;
    const bool named = index >= 0 && index < genres.Count();
    const std::int32_t code = named ? genres.entries()[static_cast<std::size_t>(index)].code : 255;
    if (code < 0 || code > 255) return false;
  }
  return true;
}

// A write stores each flagged value as it stood before counting up, whole and zero-filled;
// a track number new to the file zeroes byte 125. fileBefore is the written file as it was
// before the step.
void ExpectStored(const Bytes& tail, const Bytes& fileBefore, const FieldValues& stored, const TagEditSession& session,
                  const GenreList& genres) {
  const bool hadTag = HasTag(fileBefore);
  const std::uint8_t byte125Before = hadTag ? fileBefore[fileBefore.size() - 3] : 0;
  const std::uint8_t trackBefore = hadTag ? fileBefore[fileBefore.size() - 2] : 0;
  const bool trackShown = tail[126] != 0 && (byte125Before == 0 || tail[126] != trackBefore);
  for (const Span& span : kTextSpans) {
    if (session.updateFlag(span.field) != 1) continue;
    std::string expected = stored.Text(span.field);
    expected.resize(span.width, '\0');
    if (span.field == TagField::Comment && trackShown) expected.back() = '\0';
    EXPECT_EQ(std::string(tail.begin() + span.offset, tail.begin() + span.offset + span.width), expected);
  }
  if (trackShown) {
    EXPECT_EQ(tail[125], 0);
  } else if (session.updateFlag(TagField::Comment) != 1) {
    EXPECT_EQ(tail[125], byte125Before);
  }
  if (session.updateFlag(TagField::Track) == 1) {
    EXPECT_EQ(tail[126], ModelTrack(stored.trackText));
  }
  if (session.updateFlag(TagField::Genre) == 1) {
    const int index = stored.genreIndex;
    const bool named = index >= 0 && index < genres.Count();
    EXPECT_EQ(tail[127], named ? genres.entries()[static_cast<std::size_t>(index)].code : 255);
  }
}

TEST(RandomFilesTest, SessionKeepsAudioAndAppendsAtMostOnce) {
  GenreList genres;
  ASSERT_TRUE(genres.Load(ResourceDir()));
  ASSERT_GT(genres.Count(), 0);
  test::TempDir temp;
  std::mt19937 rng(kSeed);

  for (int round = 0; round < kRounds; ++round) {
    const fs::path dir = temp / ("round" + std::to_string(round));
    fs::create_directory(dir);
    std::vector<FileModel> files(kFilesPerRound);
    for (int i = 0; i < kFilesPerRound; ++i) {
      FileModel& file = files[static_cast<std::size_t>(i)];
      file.path = dir / ("f" + std::to_string(i) + ".mp3");
      file.original = RandomFile(rng);
      file.tagged = HasTag(file.original);
      file.audio = file.original.size() - (file.tagged ? kTagSize : 0);
      test::WriteFile(file.path, file.original);
    }
    test::RecordingExchange exchange;
    WatchedAccess access;
    TagEditSession session(genres, exchange, &access);
    session.Start();

    for (int step = 0; step < kStepsPerRound; ++step) {
      SCOPED_TRACE(testing::Message() << "seed " << kSeed << ", round " << round << ", step " << step);
      BoundValues& controls = exchange.controls;
      const FileModel& target = files[rng() % files.size()];
      const int writesBefore = access.writes;
      const FieldValues shownBefore = controls.fields;
      const Bytes targetBefore = Slurp(target.path);
      const Bytes currentBefore = session.currentPath().empty() ? Bytes() : Slurp(session.currentPath());
      switch (rng() % 9) {
        case 0:
          controls.mode = static_cast<int>(rng() % 4);
          session.OnModeClicked();
          break;
        case 1: {
          const TagField field = kAllTagFields[rng() % kAllTagFields.size()];
          controls.updateFlag[field] ^= 1;
          session.OnUpdateBoxClicked(field);
          break;
        }
        case 2: {
          const TagField field = kAllTagFields[rng() % kAllTagFields.size()];
          if (HasIncrementBox(field)) controls.incrementFlag[field] ^= 1;
          break;
        }
        case 3: {
          const TagField field = kTextAndTrack[rng() % std::size(kTextAndTrack)];
          controls.fields.Text(field) = field == TagField::Track && rng() % 2 ? std::to_string(rng() % 300)
                                                                              : RandomText(rng);
          controls.fields.genreIndex = static_cast<int>(rng() % static_cast<unsigned>(genres.Count() + 2)) - 1;
          break;
        }
        case 4:
        case 5: {
          const bool processed = rng() % 2 == 0;
          const bool autoUpdate = controls.mode == static_cast<int>(EditMode::AutoUpdate);
          if (processed) {
            session.ProcessFile(target.path);
          } else {
            EXPECT_TRUE(session.LoadFile(target.path));
          }
          // Only Auto Update writes on choosing a file; View, Edit and Update never do, and
          // nothing is written that cannot be stored as it is.
          const bool storable = ModelStorable(shownBefore, session, genres, targetBefore);
          EXPECT_EQ(access.writes - writesBefore, processed && autoUpdate && storable ? 1 : 0);
          if (processed && autoUpdate) break;
          const FieldValues disk = OnDisk(Slurp(target.path));
          const bool keepsFlagged = controls.mode >= static_cast<int>(EditMode::Update);
          for (TagField field : kTextAndTrack) {
            const bool kept = keepsFlagged && session.updateFlag(field) == 1;
            EXPECT_EQ(session.fields().Text(field), kept ? shownBefore.Text(field) : disk.Text(field));
          }
          break;
        }
        case 6: {
          const fs::path missing = dir / "missing.mp3";
          const fs::path current = session.currentPath();
          const BoundValues values = session.values();
          EXPECT_FALSE(session.LoadFile(missing));
          EXPECT_EQ(session.currentPath(), current);
          EXPECT_EQ(session.values(), values);
          break;
        }
        default: {
          const bool edit = controls.mode == static_cast<int>(EditMode::Edit);
          session.UpdateTag();
          const bool storable = ModelStorable(shownBefore, session, genres, currentBefore);
          EXPECT_EQ(access.writes - writesBefore, session.currentPath().empty() || !storable ? 0 : 1);
          if (!storable) {
            EXPECT_EQ(session.fields(), shownBefore) << "a refused value changed or counted up";
          } else if (edit && !session.currentPath().empty()) {
            const Bytes now = Slurp(session.currentPath());
            // The last 128 bytes, even of a file too short to be read back as tagged.
            Bytes tagged(129, 0);
            std::copy(now.end() - 128, now.end(), tagged.begin() + 1);
            // Nothing counts up in Edit; the fields written show what the file now holds ("007"
            // as 7), the others what they showed.
            FieldValues expected = shownBefore;
            const FieldValues disk = OnDisk(tagged);
            for (TagField field : kTextAndTrack) {
              if (session.updateFlag(field) == 1) expected.Text(field) = disk.Text(field);
            }
            EXPECT_EQ(session.fields(), expected);
          }
          break;
        }
      }
      if (access.writes != writesBefore) {
        EXPECT_TRUE(session.lastWrite().ok());
        const Bytes now = Slurp(session.currentPath());
        const Bytes tail(now.end() - 128, now.end());
        EXPECT_EQ(tail, Bytes(session.record().bytes().begin(), session.record().bytes().end()));
        const Bytes& fileBefore = session.currentPath() == target.path ? targetBefore : currentBefore;
        ExpectStored(tail, fileBefore, shownBefore, session, genres);
      }
      // Only the chosen file and the current one can have been touched; the rest are
      // checked once the round is over.
      for (const FileModel& file : files) {
        if (&file == &target || file.path == session.currentPath()) CheckFile(file, access);
      }
      if (testing::Test::HasFailure()) return;
    }
    for (const FileModel& file : files) CheckFile(file, access);
    if (testing::Test::HasFailure()) return;
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace pelmix
