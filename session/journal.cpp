// The journal's file format, its folder, and the pruning of old batches.
//
// A batch file: 8 bytes of magic, then records. A record is its payload's length (32 bits),
// the payload, and a CRC-32 of both, all little-endian, each written with one write call.
// The first record is the header: kind 0, format version, the size of a path's code unit
// (1 on POSIX, 2 on Windows, so names come back exactly), time, program, command, and the
// batch an undo takes back. Every other record is one file's change.
#include "session/journal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <span>
#include <type_traits>
#include <utility>

#include "core/text_codec.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::uint8_t, 8> kMagic = {'P', 'E', 'L', 'M', 'I', 'X', 'J', 0x1A};
constexpr std::uint16_t kFormat = 1;
constexpr char kExtension[] = ".pelmix-batch";
constexpr std::uint8_t kHeaderKind = 0;
constexpr std::uint8_t kHasBefore = 1;
constexpr std::uint8_t kHasAfter = 2;
constexpr std::size_t kUnitSize = sizeof(fs::path::value_type);
// A path of 32767 UTF-16 units and two tags fit many times over; a length past this is
// damage, not a record cut short.
constexpr std::uint32_t kLongestRecord = 1u << 20;
constexpr std::size_t kFraming = 8;  // length and checksum

// CRC-32 (the one zlib and zip use), eight bytes a step: a record is checksummed on every
// file a batch writes, so this is on the path of every write.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][n] = c;
  }
  for (std::size_t t = 1; t < tables.size(); ++t) {
    for (std::size_t n = 0; n < 256; ++n) tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFF];
  }
  return tables;
}
constexpr CrcTables kCrc = MakeCrcTables();

std::uint32_t Load32(const std::uint8_t* data) {
  return std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
         std::uint32_t{data[3]} << 24;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (; size >= 8; data += 8, size -= 8) {
    const std::uint32_t low = crc ^ Load32(data);
    const std::uint32_t high = Load32(data + 4);
    crc = kCrc[7][low & 0xFF] ^ kCrc[6][(low >> 8) & 0xFF] ^ kCrc[5][(low >> 16) & 0xFF] ^ kCrc[4][low >> 24] ^
          kCrc[3][high & 0xFF] ^ kCrc[2][(high >> 8) & 0xFF] ^ kCrc[1][(high >> 16) & 0xFF] ^ kCrc[0][high >> 24];
  }
  for (; size > 0; ++data, --size) crc = kCrc[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  std::array<std::uint8_t, 8> little{};
  for (std::size_t i = 0; i < little.size(); ++i) little[i] = static_cast<std::uint8_t>(value >> (8 * i));
  out.insert(out.end(), little.begin(), little.begin() + bytes);
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  const std::size_t size = std::min<std::size_t>(text.size(), 0xFFFF);
  Put(out, size, 2);
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
}

void PutPath(std::vector<std::uint8_t>& out, const fs::path& path) {
  const fs::path::string_type& name = path.native();
  Put(out, name.size(), 4);
  if constexpr (kUnitSize == 1) {
    out.insert(out.end(), name.begin(), name.end());
  } else {
    for (const auto unit : name) Put(out, static_cast<std::make_unsigned_t<fs::path::value_type>>(unit), kUnitSize);
  }
}

// A name relative to the working folder would find another file, or none, from wherever an
// undo runs (the window's folder, another shell's): it is kept from the root. A working folder
// that cannot be told leaves the name as it was given.
const fs::path& FromRoot(const fs::path& path, fs::path& made) {
  if (path.is_absolute()) return path;
  std::error_code error;
  made = fs::absolute(path, error);
  return error || made.empty() ? path : made;
}

// Starts a record in `out`: room for its length, filled in by EndRecord.
void BeginRecord(std::vector<std::uint8_t>& out) { out.resize(out.size() + 4); }

void EndRecord(std::vector<std::uint8_t>& out, std::size_t start) {
  const auto length = static_cast<std::uint32_t>(out.size() - start - 4);
  for (int i = 0; i < 4; ++i) out[start + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
  Put(out, Crc32(out.data() + start, out.size() - start), 4);
}

// Reads what a record's payload holds, failing once past its end.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint64_t Get(int bytes) {
    if (!Has(static_cast<std::size_t>(bytes))) return 0;
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{data_[at_ + static_cast<std::size_t>(i)]} << (8 * i);
    at_ += static_cast<std::size_t>(bytes);
    return value;
  }
  std::string Text() {
    const auto size = static_cast<std::size_t>(Get(2));
    if (!Has(size)) return {};
    std::string text(reinterpret_cast<const char*>(data_ + at_), size);
    at_ += size;
    return text;
  }
  std::optional<TagRecord> Tag() {
    if (!Has(kTagSize)) return std::nullopt;
    TagRecord tag;
    std::memcpy(tag.bytes().data(), data_ + at_, kTagSize);
    at_ += kTagSize;
    return tag;
  }
  fs::path Path(std::size_t unitSize) {
    const auto units = static_cast<std::size_t>(Get(4));
    if (unitSize != kUnitSize || units > size_ || !Has(units * unitSize)) {
      ok_ = false;
      return {};
    }
    fs::path::string_type name(units, fs::path::value_type{});
    for (auto& unit : name) unit = static_cast<fs::path::value_type>(Get(static_cast<int>(unitSize)));
    return fs::path(std::move(name));
  }
  // Every byte taken, none missing.
  bool Whole() const { return ok_ && at_ == size_; }

 private:
  bool Has(std::size_t bytes) {
    if (size_ - at_ < bytes) ok_ = false;
    return ok_;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// A batch file's bytes: as many as it holds, for a batch of any size.
std::error_code ReadBatchBytes(const fs::path& file, std::string& bytes) {
  return ReadWholeFile(file, std::numeric_limits<std::int64_t>::max(), bytes);
}

// Whether the bytes of a change's record that the file holds (`present`, after its length)
// can be the start of a record of that length, as a process killed while writing it leaves
// one: each record goes out in one write, so its start is whole. A length damaged into one
// that runs past the end of the file shows itself in the records that follow.
bool CanBeCutShort(const std::uint8_t* payload, std::size_t present, std::uint32_t length) {
  if (present == 0) return true;
  const std::uint8_t kind = payload[0];
  // A kind of a later version has a layout this one cannot check.
  if (kind < static_cast<std::uint8_t>(JournalChange::TagWritten) ||
      kind > static_cast<std::uint8_t>(JournalChange::Renamed)) {
    return true;
  }
  constexpr std::size_t kFlagsAt = 1 + 8 + 8 + 8;
  if (present <= kFlagsAt) return true;
  const std::uint8_t flags = payload[kFlagsAt];
  if ((flags & ~(kHasBefore | kHasAfter)) != 0) return false;
  // Where each name's count of units lies, and so where the record ends.
  std::uint64_t end = kFlagsAt + 1 + ((flags & kHasBefore) ? kTagSize : 0) + ((flags & kHasAfter) ? kTagSize : 0);
  const int names = kind == static_cast<std::uint8_t>(JournalChange::Renamed) ? 2 : 1;
  for (int name = 0; name < names; ++name) {
    if (present < end + 4) return end + 4 <= length;
    end += 4 + std::uint64_t{Load32(payload + end)} * kUnitSize;
    if (end > length) return false;
  }
  return end == length;
}

struct Parsed {
  std::optional<BatchHeader> header;
  std::vector<JournaledFile> files;
  std::string problem;
};

constexpr char kStillWritten[] = "is still being written (the batch is still running)";

std::string RecordDamaged(std::size_t index) {
  return "is damaged (record " + std::to_string(index) + " fails its check)";
}

// Reads the header and every record. A record that runs past the end of
// the file, or fails its check as the very last thing in it, is one a killed process was
// writing: the batch ends before it. Damage anywhere else refuses the whole batch.
Parsed Parse(std::string_view text) {
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  Parsed parsed;
  if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
    parsed.problem = "is not a Pelmix journal";
    return parsed;
  }
  std::size_t at = kMagic.size();
  std::size_t unitSize = 0;
  for (std::size_t index = 0; at < bytes.size(); ++index) {
    const std::size_t left = bytes.size() - at;
    Reader framing(bytes.data() + at, left);
    const auto length = static_cast<std::uint32_t>(framing.Get(4));
    if (length > kLongestRecord) {
      parsed.problem = index == 0 ? "is damaged (its header fails its check)" : RecordDamaged(index);
      return parsed;
    }
    if (left < 4 || left - 4 < std::size_t{length} + 4) {
      if (index > 0 && left >= 4 && !CanBeCutShort(bytes.data() + at + 4, left - 4, length)) {
        parsed.problem = RecordDamaged(index);
        return parsed;
      }
      break;  // cut short
    }
    const std::uint8_t* payload = bytes.data() + at + 4;
    Reader check(payload + length, 4);
    if (static_cast<std::uint32_t>(check.Get(4)) != Crc32(bytes.data() + at, std::size_t{length} + 4)) {
      if (left == std::size_t{length} + kFraming) break;  // the last record, torn
      parsed.problem = index == 0 ? "is damaged (its header fails its check)" : RecordDamaged(index);
      return parsed;
    }
    at += std::size_t{length} + kFraming;
    Reader record(payload, length);
    const auto kind = static_cast<std::uint8_t>(record.Get(1));
    if (index == 0) {
      const auto format = static_cast<std::uint16_t>(record.Get(2));
      if (kind != kHeaderKind || format != kFormat) {
        parsed.problem = "was written by another version of Pelmix (journal format " + std::to_string(format) + ")";
        return parsed;
      }
      unitSize = static_cast<std::size_t>(record.Get(1));
      BatchHeader header;
      header.time = static_cast<std::int64_t>(record.Get(8));
      header.program = record.Text();
      header.command = record.Text();
      header.undoes = record.Text();
      if (!record.Whole()) {
        parsed.problem = "is damaged (its header is incomplete)";
        return parsed;
      }
      parsed.header = std::move(header);
      if (unitSize != kUnitSize) {
        parsed.problem = "was written on another kind of system";
        return parsed;
      }
      continue;
    }
    if (kind != static_cast<std::uint8_t>(JournalChange::TagWritten) &&
        kind != static_cast<std::uint8_t>(JournalChange::TagRemoved) &&
        kind != static_cast<std::uint8_t>(JournalChange::Renamed)) {
      parsed.problem = "holds a change this version of Pelmix does not know (record " + std::to_string(index) + ")";
      return parsed;
    }
    JournaledFile file;
    JournalRecord& change = file.record;
    change.change = static_cast<JournalChange>(kind);
    change.file.device = record.Get(8);
    change.file.number = record.Get(8);
    change.sizeBefore = static_cast<std::int64_t>(record.Get(8));
    const auto flags = static_cast<std::uint8_t>(record.Get(1));
    if (flags & kHasBefore) change.before = record.Tag();
    if (flags & kHasAfter) change.after = record.Tag();
    file.path = record.Path(unitSize);
    const bool renamed = change.change == JournalChange::Renamed;
    if (renamed) change.renamedTo = record.Path(unitSize);
    // Each kind holds what undoing it needs, and only that.
    const bool written = change.change == JournalChange::TagWritten;
    const bool shaped = (flags & ~(kHasBefore | kHasAfter)) == 0 && (renamed   ? flags == 0 && !change.renamedTo.empty()
                                                                     : written ? change.after.has_value()
                                                                               : change.before && !change.after);
    // A tag goes after the size, so a size that leaves no room for one is damage too.
    const std::int64_t least = change.before ? static_cast<std::int64_t>(kTagSize) + 1 : 0;
    const std::int64_t most = std::numeric_limits<std::int64_t>::max() - static_cast<std::int64_t>(kTagSize);
    if (!record.Whole() || !shaped || file.path.empty() || change.sizeBefore < least || change.sizeBefore > most) {
      parsed.problem = RecordDamaged(index);
      return parsed;
    }
    parsed.files.push_back(std::move(file));
  }
  if (!parsed.header && parsed.problem.empty()) parsed.problem = "holds no complete header";
  return parsed;
}

std::error_code MakeFolder(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) return {};
  const fs::path parent = folder.parent_path();
  if (!parent.empty() && !fs::is_directory(parent, error)) {
    fs::create_directories(parent, error);
    if (error) return error;
  }
  // Made as its owner's alone before anything goes in: the journal names the files and holds their tags.
  if (!fs::create_directory(folder, error) && error) return error;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
  return error;
}

std::string IdPrefix(std::int64_t time) {
  const std::tm local = LocalTime(time);
  char text[96];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

struct Found {
  std::string id;
  fs::path file;
};

std::vector<Found> BatchFiles(const fs::path& folder, std::error_code& error) {
  std::vector<Found> found;
  error.clear();
  if (!fs::is_directory(folder, error)) {
    if (error == std::errc::no_such_file_or_directory) error.clear();
    return found;
  }
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& file = it->path();
    if (file.extension() != kExtension) continue;
    found.push_back({PathText(file.stem()), file});
  }
  return found;
}

// Newest first by id, which begins with the local time: near enough for pruning (an hour
// turned back by the clock may be taken a little out of order), and no file is opened.
bool NewerId(const std::string& a, const std::string& b) {
  const std::size_t aDash = a.rfind('-');
  const std::size_t bDash = b.rfind('-');
  const int time = a.compare(0, aDash, b, 0, bDash);
  if (time != 0) return time > 0;
  return a.size() - aDash != b.size() - bDash ? a.size() - aDash > b.size() - bDash : a > b;
}

void Prune(const fs::path& folder, const std::string& keep, std::int64_t keepSize) {
  std::error_code error;
  std::vector<Found> found = BatchFiles(folder, error);
  // Ten small batches gather before they are pruned, so that a batch of one file (a shell
  // loop starts one per file) costs a look at the folder and no more.
  const bool large = keepSize > kJournalBytesKept / static_cast<std::int64_t>(kBatchesKept);
  if (error || found.size() <= 1 || (found.size() <= kBatchesKept + kPruneSlack && !large)) return;
  std::sort(found.begin(), found.end(), [&](const Found& a, const Found& b) {
    if (a.id == keep || b.id == keep) return a.id == keep && b.id != keep;
    return NewerId(a.id, b.id);
  });
  std::size_t kept = 0;
  std::int64_t bytesKept = 0;
  for (const Found& batch : found) {
    std::error_code sizeError;
    const auto size = static_cast<std::int64_t>(fs::file_size(batch.file, sizeError));
    if (kept == 0 || (kept < kBatchesKept && bytesKept + size <= kJournalBytesKept)) {
      ++kept;
      bytesKept += sizeError ? 0 : size;
      continue;
    }
    // One still being written, or in use by another program, stays until a later batch
    // prunes again.
    RemoveUnlessHeld(batch.file);
  }
}

}  // namespace

fs::path JournalFolder() {
#ifdef _WIN32
  if (const wchar_t* set = _wgetenv(L"PELMIX_STATE_DIR"); set && *set) return fs::path(set);
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && *local) return fs::path(local) / L"Pelmix";
  return {};
#else
  if (const char* set = std::getenv("PELMIX_STATE_DIR"); set && *set) return fs::path(set);
  // A relative XDG_STATE_HOME is to be ignored.
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') return fs::path(state) / "pelmix";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "state" / "pelmix";
  return {};
#endif
}

std::tm LocalTime(std::int64_t time) {
  const auto seconds = static_cast<std::time_t>(time / 1'000'000'000);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return local;
}

bool IsBatchId(std::string_view text) {
  return !text.empty() && text.size() <= 64 && text.find_first_not_of("0123456789-") == std::string_view::npos;
}

fs::path BatchFile(const fs::path& folder, std::string_view id) {
  return folder / PathFromUtf8(std::string(id) + kExtension);
}

BatchJournal::BatchJournal(fs::path folder, BatchHeader header, Closer close)
    : folder_(std::move(folder)), header_(std::move(header)), close_(std::move(close)) {}

BatchJournal::~BatchJournal() { Finish(); }

std::error_code BatchJournal::Begin() {
  if (open_ || failed_) return failed_;
  if (folder_.empty()) return failed_ = std::make_error_code(std::errc::no_such_file_or_directory);
  if ((failed_ = MakeFolder(folder_))) return failed_;
  header_.time =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  const std::string prefix = IdPrefix(header_.time);
  // The number starts at the millisecond, so that a shell loop starting hundreds of batches
  // a second finds a free id at the first or second try, and ids still sort by time.
  const int first = static_cast<int>(header_.time / 1'000'000 % 1000) + 1;
  for (int number = first;; ++number) {
    id_ = prefix + "-" + std::to_string(number);
    file_ = BatchFile(folder_, id_);
    const std::error_code error = raw_.Open(file_, RawFile::Access::Create);
    if (!error) break;
    if (error != std::errc::file_exists || number - first == 9999) return failed_ = error;
  }
  open_ = true;
  buffer_.assign(kMagic.begin(), kMagic.end());
  BeginRecord(buffer_);
  buffer_.push_back(kHeaderKind);
  Put(buffer_, kFormat, 2);
  Put(buffer_, kUnitSize, 1);
  Put(buffer_, static_cast<std::uint64_t>(header_.time), 8);
  PutText(buffer_, header_.program);
  PutText(buffer_, header_.command);
  PutText(buffer_, header_.undoes);
  EndRecord(buffer_, kMagic.size());
  if ((failed_ = raw_.WriteAt(0, buffer_))) return failed_;
  end_ = static_cast<std::int64_t>(buffer_.size());
  return {};
}

std::error_code BatchJournal::Record(const fs::path& path, const JournalRecord& record) {
  if (std::error_code error = Begin()) return error;
  buffer_.clear();
  BeginRecord(buffer_);
  buffer_.push_back(static_cast<std::uint8_t>(record.change));
  Put(buffer_, record.file.device, 8);
  Put(buffer_, record.file.number, 8);
  Put(buffer_, static_cast<std::uint64_t>(record.sizeBefore), 8);
  buffer_.push_back(static_cast<std::uint8_t>((record.before ? kHasBefore : 0) | (record.after ? kHasAfter : 0)));
  if (record.before) buffer_.insert(buffer_.end(), record.before->bytes().begin(), record.before->bytes().end());
  if (record.after) buffer_.insert(buffer_.end(), record.after->bytes().begin(), record.after->bytes().end());
  fs::path rooted;
  PutPath(buffer_, FromRoot(path, rooted));
  // A rename keeps no tag: its record is the two names.
  if (record.change == JournalChange::Renamed) PutPath(buffer_, FromRoot(record.renamedTo, rooted));
  EndRecord(buffer_, 0);
  if (std::error_code error = raw_.WriteAt(end_, buffer_)) {
    // Whatever part of it arrived goes, so the next batch reader meets no torn record inside.
    raw_.Truncate(end_);
    return failed_ = error;
  }
  end_ += static_cast<std::int64_t>(buffer_.size());
  ++records_;
  return {};
}

std::error_code BatchJournal::Finish() {
  if (!open_) return {};
  open_ = false;
  const std::error_code closed = close_ ? close_(raw_) : raw_.Close();
  std::error_code error;
  if (records_ == 0) {
    fs::remove(file_, error);
    return closed;
  }
  Prune(folder_, id_, end_);
  return closed;
}

BatchRead ReadBatch(const fs::path& file, std::string id) {
  BatchRead read;
  std::string bytes;
  if (std::error_code error = ReadBatchBytes(file, bytes)) {
    read.problem = "cannot be read (" + error.message() + ")";
    return read;
  }
  Parsed parsed = Parse(bytes);
  if (!parsed.problem.empty()) {
    read.problem = std::move(parsed.problem);
    return read;
  }
  read.batch = JournalBatch{std::move(id), std::move(*parsed.header), std::move(parsed.files)};
  return read;
}

std::vector<BatchEntry> ListBatches(const fs::path& folder, std::error_code& error) {
  std::vector<BatchEntry> entries;
  std::vector<Found> found = BatchFiles(folder, error);
  if (error) return entries;
  std::string bytes;
  for (const Found& batch : found) {
    BatchEntry entry{batch.id, std::nullopt, 0, {}, {}};
    if (std::error_code readError = ReadBatchBytes(batch.file, bytes)) {
      entry.problem = "cannot be read (" + readError.message() + ")";
    } else {
      Parsed parsed = Parse(bytes);
      entry.header = std::move(parsed.header);
      entry.files = parsed.files.size();
      entry.problem = std::move(parsed.problem);
    }
    // A batch that recorded nothing (killed before its first file, or still starting) has nothing to take back.
    if (entry.problem.empty() && entry.files == 0) continue;
    // One still running would be taken back in part and counted as taken back whole, so that
    // the files it writes after the undo could not be taken back by a plain undo.
    if (entry.problem.empty() && HeldByItsMaker(batch.file)) entry.problem = kStillWritten;
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const BatchEntry& a, const BatchEntry& b) {
    const std::int64_t at = a.header ? a.header->time : INT64_MIN;
    const std::int64_t bt = b.header ? b.header->time : INT64_MIN;
    return at != bt ? at > bt : a.id > b.id;
  });
  // Newest first: every undo of a batch is newer than it, so whether that undo was itself
  // taken back is known by the time the batch comes up.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const BatchEntry& undo = entries[i];
    if (!undo.header || undo.header->undoes.empty() || !undo.takenBackBy.empty() || !undo.problem.empty()) continue;
    for (std::size_t j = i + 1; j < entries.size(); ++j) {
      if (entries[j].id == undo.header->undoes) {
        if (entries[j].takenBackBy.empty()) entries[j].takenBackBy = undo.id;
        break;
      }
    }
  }
  return entries;
}

const BatchEntry* NewestNotTakenBack(const std::vector<BatchEntry>& batches) {
  for (const BatchEntry& batch : batches) {
    if (batch.header && batch.takenBackBy.empty()) return &batch;
  }
  return nullptr;
}

}  // namespace pelmix
