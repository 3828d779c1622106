// The undo journal: one file per batch in the journal folder, with a record of every tag
// written or removed, made before the file's own write, so that a batch can be taken back
// even after the program that wrote it was killed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/raw_file.h"
#include "core/tag_record.h"

namespace pelmix {

// What a batch did to one file. The numbers are those stored.
enum class JournalChange : std::uint8_t { TagWritten = 1, TagRemoved = 2, Renamed = 3 };

// One file's change: which file, as the system knows it, and its last bytes before and after.
struct JournalRecord {
  JournalChange change = JournalChange::TagWritten;
  FileIdentity file{};
  std::int64_t sizeBefore = 0;
  std::optional<TagRecord> before{};  // the tag the file ended in, or none
  std::optional<TagRecord> after{};   // TagWritten: the 128 bytes written
  std::filesystem::path renamedTo{};  // Renamed: the file's new name (the record's path is the old)
};

struct JournaledFile {
  std::filesystem::path path;
  JournalRecord record;
};

// Where FileTagAccess sends a record before each change; tests stand in for it.
class WriteJournal {
 public:
  virtual ~WriteJournal() = default;
  // Returns once the record has been handed to the system; an error stops the change.
  virtual std::error_code Record(const std::filesystem::path& path, const JournalRecord& record) = 0;
};

// The folder both front ends keep the journal in: PELMIX_STATE_DIR when set; otherwise
// $XDG_STATE_HOME/pelmix or ~/.local/state/pelmix, and %LOCALAPPDATA%\Pelmix on Windows.
// Empty when the environment names none (no home).
std::filesystem::path JournalFolder();

// Old batches go once there are more than this many, or more bytes; the newest one stays.
// Small batches are pruned once kPruneSlack more have gathered.
inline constexpr std::size_t kBatchesKept = 50;
inline constexpr std::int64_t kJournalBytesKept = std::int64_t{64} << 20;
inline constexpr std::size_t kPruneSlack = 10;

struct BatchHeader {
  std::int64_t time = 0;  // nanoseconds since 1970, UTC
  std::string program;    // "pelmix-cli" or "Pelmix"
  std::string command;    // "stamp", "strip", "update", "undo"
  std::string undoes;     // the batch an undo takes back
};

// One batch as it is written. Its file is made by Begin, or by the first record; a batch
// that records nothing leaves no file.
class BatchJournal final : public WriteJournal {
 public:
  // Closes the batch's file and says what the system said; tests stand in for it.
  using Closer = std::function<std::error_code(RawFile&)>;

  BatchJournal(std::filesystem::path folder, BatchHeader header, Closer close = {});
  BatchJournal(const BatchJournal&) = delete;
  BatchJournal& operator=(const BatchJournal&) = delete;
  ~BatchJournal() override;

  // Makes the folder (its owner's alone) and the batch's file with its header. A batch calls
  // it before its first file, so that a journal that cannot be written stops it there.
  std::error_code Begin();
  std::error_code Record(const std::filesystem::path& path, const JournalRecord& record) override;
  // Closes the file, removes it when it holds no record, and prunes old batches. An error
  // means the system may not have kept every record (a network file system tells at the close).
  std::error_code Finish();

  // "20261208-140203-1": local date and time, and a number that makes it unique.
  const std::string& id() const { return id_; }
  std::size_t records() const { return records_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  BatchHeader header_;
  std::string id_;
  std::filesystem::path file_;
  RawFile raw_;
  bool open_ = false;
  std::int64_t end_ = 0;
  std::size_t records_ = 0;
  // After a failed record every later one fails too: a torn record stays the last one.
  std::error_code failed_;
  std::vector<std::uint8_t> buffer_;
  Closer close_;
};

// A batch read back whole.
struct JournalBatch {
  std::string id;
  BatchHeader header;
  std::vector<JournaledFile> files;
};

// A batch's file read, or why it cannot be trusted ("is damaged (record 3 fails its check)").
// A last record cut short, as a process killed while writing it leaves it, is left out.
struct BatchRead {
  std::optional<JournalBatch> batch;
  std::string problem;
};
BatchRead ReadBatch(const std::filesystem::path& file, std::string id);

struct BatchEntry {
  std::string id;
  std::optional<BatchHeader> header;  // none when the file's header cannot be read
  std::size_t files = 0;
  std::string problem;      // why it cannot be taken back; empty when it can
  std::string takenBackBy;  // the undo that took it back, itself not taken back
};

// The batches in the folder that recorded a file (or cannot be read), newest first; those
// whose time is unknown last. A folder that does not exist holds none.
std::vector<BatchEntry> ListBatches(const std::filesystem::path& folder, std::error_code& error);
// The newest batch not taken back, if any: the one a plain undo takes back.
const BatchEntry* NewestNotTakenBack(const std::vector<BatchEntry>& batches);

// Whether the text can be a batch's id: it names a file in the folder and nothing else.
bool IsBatchId(std::string_view text);
std::filesystem::path BatchFile(const std::filesystem::path& folder, std::string_view id);

// A batch's time on the local clock.
std::tm LocalTime(std::int64_t time);

}  // namespace pelmix
