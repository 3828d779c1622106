// The reader against files other programs wrote: the public ID3v1 test suite, with its
// generation log as the statement of what each file holds, and the peer libraries' files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/tag_file.h"
#include "core/tag_record.h"
#include "tests/support/file_sets.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::CorpusDir;

// One "Test case N" block of the log. Quoted values have their "\0" escapes resolved.
struct LogCase {
  std::string file;
  bool failureExpected = false;
  std::string version;
  std::map<std::string, std::string> text;  // head, title, artist, album, year, comment
  int track = -1;                           // given only for version 1.1
  int genre = -1;
};

std::string Unescape(const std::string& quoted) {
  std::string out;
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] == '\\' && i + 1 < quoted.size()) {
      ++i;
      out += quoted[i] == '0' ? '\0' : quoted[i];
    } else {
      out += quoted[i];
    }
  }
  return out;
}

// The log holds raw bytes (one case has ISO-8859-1 text), so it is read as bytes.
std::vector<LogCase> ParseLog(const fs::path& logPath) {
  const Bytes raw = test::ReadFile(logPath);
  std::istringstream in(std::string(raw.begin(), raw.end()));
  std::vector<LogCase> cases;
  const std::set<std::string> textKeys = {"head", "title", "artist", "album", "year", "comment"};
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Test case ", 0) == 0 && line.find_first_not_of("0123456789", 10) == std::string::npos) {
      cases.emplace_back();
      continue;
    }
    if (cases.empty()) continue;
    LogCase& current = cases.back();
    if (line.rfind("Generated test file \"", 0) == 0) {
      current.file = line.substr(21, line.rfind('"') - 21);
    } else if (line.rfind("Test case should generate a decoding failure", 0) == 0) {
      current.failureExpected = true;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon + 2 > line.size()) continue;
    std::string key = line.substr(0, colon);
    key.erase(key.find_last_not_of(' ') + 1);
    const std::string value = line.substr(colon + 2);
    if (textKeys.count(key) && value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      current.text[key] = Unescape(value.substr(1, value.size() - 2));
    } else if (key == "version") {
      current.version = value;
    } else if (key == "track") {
      current.track = std::stoi(value);
    } else if (key == "genre") {
      current.genre = std::stoi(value);
    }
  }
  return cases;
}

// The text a field shows: its bytes up to the first zero byte, cut to the field's width.
std::string Shown(const std::string& stored, std::size_t width) {
  const std::string kept = stored.substr(0, width);
  return kept.substr(0, kept.find('\0'));
}

Bytes LastBytes(const Bytes& file) {
  return Bytes(file.end() - static_cast<std::ptrdiff_t>(std::min(file.size(), kTagSize)), file.end());
}

// Whether a file carries a trailer, decided on its raw bytes.
bool EndsInTag(const Bytes& file) {
  return file.size() > kTagSize && std::equal(file.end() - 128, file.end() - 125, "TAG");
}

void ExpectNewRecord(const TagRecord& record) {
  Bytes expected(kTagSize, 0);
  std::copy_n("TAG", 3, expected.begin());
  expected[127] = 255;
  EXPECT_EQ(Bytes(record.bytes().begin(), record.bytes().end()), expected);
}

// The peers' README table says, per file, whether it carries a trailer ("yes ..." / "no ...").
std::map<std::string, bool> ReadmeSaysTagged(const fs::path& readme) {
  std::map<std::string, bool> tagged;
  if (!fs::exists(readme)) return tagged;
  const Bytes raw = test::ReadFile(readme);
  std::istringstream in(std::string(raw.begin(), raw.end()));
  for (std::string line; std::getline(in, line);) {
    const std::size_t nameEnd = line.find(".mp3 |");
    const std::size_t lastCell = line.rfind("| ", line.size() - 2);
    if (line.rfind("| ", 0) != 0 || nameEnd == std::string::npos || lastCell == std::string::npos) continue;
    tagged[line.substr(2, nameEnd + 4 - 2)] = line.compare(lastCell + 2, 3, "yes") == 0;
  }
  return tagged;
}

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override { PELMIX_SKIP_WITHOUT_CORPUS(); }
  const fs::path suiteDir_ = CorpusDir() / "id3v1-testsuite";
  const fs::path log_ = suiteDir_ / "generation.log";
};

TEST_F(CorpusTest, SuiteFilesReadAsTheLogStates) {
  ASSERT_TRUE(fs::exists(log_)) << log_.string();
  for (const LogCase& c : ParseLog(log_)) {
    SCOPED_TRACE(c.file);
    const fs::path path = suiteDir_ / c.file;
    const Bytes file = test::ReadFile(path);
    TagRecord record;
    std::int64_t offset = -1;
    const ReadResult result = ReadTagTrailer(path, record, offset);
    ASSERT_TRUE(result.ok());

    // Only a byte-exact "TAG" makes a trailer; the suite's other "failures" (odd years,
    // genres past the list) are still trailers whose bytes we show as they are.
    const bool tagged = c.text.at("head") == "TAG" && file.size() > kTagSize;
    if (!tagged) {
      EXPECT_EQ(result.status, ReadResult::Status::Untagged);
      EXPECT_EQ(offset, static_cast<std::int64_t>(file.size()));
      ExpectNewRecord(record);
      continue;
    }
    EXPECT_EQ(result.status, ReadResult::Status::Tagged);
    EXPECT_EQ(offset, static_cast<std::int64_t>(file.size() - kTagSize));
    EXPECT_EQ(Bytes(record.bytes().begin(), record.bytes().end()), LastBytes(file));

    EXPECT_EQ(record.GetFieldText(TagField::Title), Shown(c.text.at("title"), 30));
    EXPECT_EQ(record.GetFieldText(TagField::Artist), Shown(c.text.at("artist"), 30));
    EXPECT_EQ(record.GetFieldText(TagField::Album), Shown(c.text.at("album"), 30));
    EXPECT_EQ(record.GetFieldText(TagField::Year), Shown(c.text.at("year"), 4));
    EXPECT_EQ(record.GetGenre(), c.genre);
    const std::string& comment = c.text.at("comment");
    if (c.version == "1.1") {
      // 28 comment bytes, a zero, then the track number.
      EXPECT_LE(comment.size(), 28u);
      EXPECT_EQ(record.GetFieldText(TagField::Comment), Shown(comment, 28));
      EXPECT_EQ(record.GetTrack(), c.track);
    } else {
      // A 30-byte comment: we show 29 of them and take the 30th for the track byte.
      ASSERT_EQ(c.version, "1.0");
      EXPECT_EQ(record.GetFieldText(TagField::Comment), Shown(comment, 29));
      const std::uint8_t byte30 = comment.size() >= 30 ? static_cast<std::uint8_t>(comment[29]) : 0;
      EXPECT_EQ(record.GetTrack(), byte30);
    }
  }
}

// What the peer files' trailers hold, read off their bytes; blanks are kept, a full-width
// field has no zero byte.
struct PeerFields {
  const char* file;
  TagField field;
  const char* text;
};

const PeerFields kPeerFields[] = {
    {"mutagen/97-unknown-23-update.mp3", TagField::Title, "aaaaaaaaaaaaaaaaaaaaaaa vvvvvv"},
    {"mutagen/97-unknown-23-update.mp3", TagField::Artist, "aaaaaaaaaaaaaaaaaaaaaaa vvvvvv"},
    {"mutagen/apev2-lyricsv2.mp3", TagField::Title, "A song   "},
    {"mutagen/apev2-lyricsv2.mp3", TagField::Year, "0"},
    {"mutagen/bad-TYER-frame.mp3", TagField::Year, ""},
    {"mutagen/bad-TYER-frame.mp3", TagField::Comment, "http://mp3splt.sf.net"},
    {"mutagen/id3v1v2-combined.mp3", TagField::Album, "Hymns for the Exiled"},
    {"taglib/rare_frames.mp3", TagField::Comment, " 00000000 00000000 00000000 "},
};

const std::map<std::string, std::pair<int, int>> kPeerTrackGenre = {
    {"mutagen/id3v1v2-combined.mp3", {3, 255}},
    {"mutagen/silence-44-s-v1.mp3", {2, 50}},
    {"mutagen/silence-44-s.mp3", {2, 255}},
    {"taglib/rare_frames.mp3", {0, 13}},
};

TEST_F(CorpusTest, PeerFilesReadAndWriteBackUnchanged) {
  const fs::path peers = CorpusDir() / "peers";
  ASSERT_TRUE(fs::is_directory(peers)) << peers.string();
  const std::map<std::string, bool> readme = ReadmeSaysTagged(peers / "README.md");
  test::TempDir temp;
  int seen = 0;
  for (const auto& entry : fs::recursive_directory_iterator(peers)) {
    if (entry.path().extension() != ".mp3") continue;
    const std::string name = fs::relative(entry.path(), peers).generic_string();
    SCOPED_TRACE(name);
    ++seen;
    const Bytes original = test::ReadFile(entry.path());
    TagRecord record;
    std::int64_t offset = -1;
    const ReadResult read = ReadTagTrailer(entry.path(), record, offset);
    ASSERT_TRUE(read.ok());

    if (const auto it = readme.find(name); it != readme.end()) {
      EXPECT_EQ(EndsInTag(original), it->second);
    }
    if (EndsInTag(original)) {
      EXPECT_EQ(read.status, ReadResult::Status::Tagged);
      EXPECT_EQ(offset, static_cast<std::int64_t>(original.size() - kTagSize));
      EXPECT_EQ(Bytes(record.bytes().begin(), record.bytes().end()), LastBytes(original));
    } else {
      EXPECT_EQ(read.status, ReadResult::Status::Untagged);
      EXPECT_EQ(offset, static_cast<std::int64_t>(original.size()));
      ExpectNewRecord(record);
    }
    for (const PeerFields& expected : kPeerFields) {
      if (name == expected.file) {
        EXPECT_EQ(record.GetFieldText(expected.field), expected.text);
      }
    }
    if (const auto it = kPeerTrackGenre.find(name); it != kPeerTrackGenre.end()) {
      EXPECT_EQ(record.GetTrack(), it->second.first);
      EXPECT_EQ(record.GetGenre(), it->second.second);
    }

    // Writing back what was read must not disturb a single byte, or only append.
    const fs::path copy = temp / ("copy" + std::to_string(seen) + ".mp3");
    test::WriteFile(copy, original);
    // The write goes only into the file that was read; the copy stands in for it.
    TagSeen seen = SeenByRead(read, record);
    FileStatus status;
    ASSERT_FALSE(StatusOf(copy, status));
    seen.file = status.identity;
    const WriteResult write = WriteTagTrailer(copy, record, offset, seen);
    ASSERT_TRUE(write.ok());
    const Bytes after = test::ReadFile(copy);
    if (read.status == ReadResult::Status::Tagged) {
      EXPECT_EQ(write.status, WriteResult::Status::Replaced);
      EXPECT_EQ(after, original);
    } else {
      EXPECT_EQ(write.status, WriteResult::Status::Appended);
      ASSERT_EQ(after.size(), original.size() + kTagSize);
      EXPECT_TRUE(std::equal(original.begin(), original.end(), after.begin()));
      EXPECT_EQ(LastBytes(after), Bytes(record.bytes().begin(), record.bytes().end()));
    }
  }
  EXPECT_GT(seen, 0);
  if (!readme.empty()) {
    EXPECT_EQ(static_cast<int>(readme.size()), seen);
  }
}

}  // namespace
}  // namespace pelmix
