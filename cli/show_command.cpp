// pelmix-cli show and genres: a trailer as a block, one line, JSON or CSV, and the genre list.
#include "cli/show_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/csv_table.h"
#include "cli/exit_status.h"
#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/tag_text.h"
#include "cli/text_display.h"
#include "core/csv_text.h"
#include "core/tag_file.h"

namespace pelmix::cli {
namespace {

struct Labelled {
  TagField field;
  const char* label;  // padded so the values line up
  const char* key;
};

constexpr Labelled kTextFields[] = {
    {TagField::Title, "Title:  ", "title"},     {TagField::Artist, "Artist: ", "artist"},
    {TagField::Album, "Album:  ", "album"},     {TagField::Year, "Year:   ", "year"},
    {TagField::Comment, "Comment:", "comment"},
};

std::string JsonFailure(const std::filesystem::path& path, const std::string& reason) {
  std::string line = "{";
  line += JsonPath(path);
  return line + ",\"error\":" + JsonString(reason) + "}\n";
}

std::string FailureLine(const std::filesystem::path& path, const std::string& what, const std::string& reason) {
  return "pelmix-cli: " + Printable(PathText(path)) + ": " + what + ": " + reason + "\n";
}

std::string JsonLine(const std::filesystem::path& path, const TagRecord* record, const GenreList& genres,
                     CodePage page) {
  std::string line = "{";
  line += JsonPath(path);
  if (!record) return line + ",\"has_tag\":false}\n";
  line += ",\"has_tag\":true";
  for (const Labelled& text : kTextFields) {
    line += ",\"" + std::string(text.key) + "\":" + JsonString(DecodeText(page, record->GetFieldText(text.field)));
  }
  const std::uint8_t track = record->GetTrack();
  line += ",\"track\":" + (track == kNoTrack ? std::string("null") : std::to_string(track));
  const std::uint8_t genre = record->GetGenre();
  const std::string name = GenreName(genres, page, genre);
  line += ",\"genre_code\":" + std::to_string(genre);
  line += ",\"genre_name\":" + (genres.IndexOfCode(genre) == -1 ? std::string("null") : JsonString(name));
  return line + "}\n";
}

std::string TextBlock(const std::filesystem::path& path, const TagRecord* record, const GenreList& genres,
                      CodePage page) {
  const std::string shownPath = Printable(PathText(path));
  if (!record) return shownPath + ": no tag\n";
  std::string block = shownPath + "\n";
  for (const Labelled& text : kTextFields) {
    block += "  " + std::string(text.label) + " " + Printable(DecodeText(page, record->GetFieldText(text.field))) +
             "\n";
  }
  const std::uint8_t track = record->GetTrack();
  block += "  Track:   " + TrackText(track) + "\n";
  block += "  Genre:   " + GenreText(genres, page, record->GetGenre()) + "\n";
  return block;
}

// path: track=2 title="Intro" artist="Band" album="First" year="1999" genre="Rock" comment=""
std::string OneLine(const std::filesystem::path& path, const TagRecord* record, const GenreList& genres,
                    CodePage page) {
  std::string line = Printable(PathText(path));
  if (!record) return line + ": no tag\n";
  const std::uint8_t track = record->GetTrack();
  line += ": track=" + TrackText(track);
  for (const Labelled& text : kTextFields) {
    if (text.field == TagField::Comment) continue;
    line += std::string(" ") + text.key + "=" + Quoted(DecodeText(page, record->GetFieldText(text.field)));
  }
  const std::uint8_t genre = record->GetGenre();
  const std::string name = GenreName(genres, page, genre);
  line += " genre=";
  line += genre == kNoGenre ? "none" : genres.IndexOfCode(genre) == -1 ? std::to_string(genre) : Quoted(name);
  line += " comment=" + Quoted(DecodeText(page, record->GetFieldText(TagField::Comment)));
  return line + "\n";
}

std::string CsvHeader() {
  std::vector<std::string> cells = {"path"};
  for (TagField field : kCsvFields) cells.emplace_back(FieldOptionName(field));
  std::string line;
  AppendCsvRecord(line, cells);
  return line;
}

// The cells as stamp --from-csv reads them back. On a terminal the cells are for reading
// only, and a tag's control characters would steer it: they are shown escaped there.
std::string CsvLine(const std::filesystem::path& path, const TagRecord* record, const GenreList& genres, CodePage page,
                    bool terminal) {
  std::vector<std::string> cells = {PathText(path)};
  for (TagField field : kCsvFields) {
    if (!record) {
      cells.emplace_back();
    } else if (field == TagField::Track) {
      const std::uint8_t track = record->GetTrack();
      cells.push_back(track == kNoTrack ? std::string() : std::to_string(track));
    } else if (field == TagField::Genre) {
      cells.push_back(GenreCell(genres, page, record->GetGenre()));
    } else {
      cells.push_back(DecodeText(page, record->GetFieldText(field)));
    }
  }
  if (terminal) {
    for (std::string& cell : cells) cell = Printable(cell);
  }
  std::string line;
  AppendCsvRecord(line, cells);
  return line;
}

}  // namespace

int RunShow(Options options, const GenreList& genres, Console& console) {
  if (options.operands.empty()) throw UsageError("show needs at least one file");
  FileList list = CollectFiles(std::move(options.operands), options.recursive);
  int status = kExitOk;
  if (options.csv) console.Out(CsvHeader());
  // Failures go to standard error; with --json each also keeps its object in the output.
  for (const FileList::Failure& failure : list.failures) {
    if (options.json) console.Out(JsonFailure(failure.path, failure.reason));
    console.Err(FailureLine(failure.path, "not listed", failure.reason));
    status = kExitFileFailed;
  }
  for (const std::filesystem::path& link : list.skippedLinks) {
    console.Err("pelmix-cli: warning: " + Printable(PathText(link)) + ": " + kSkippedLink + "\n");
  }
  for (NativeName& name : list.files) {
    if (StopRequested()) break;
    const std::filesystem::path path(std::move(name));
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = ReadTagTrailer(path, record, tagOffset);
    if (!read.ok()) {
      if (options.json) console.Out(JsonFailure(path, ErrorReason(read.error)));
      console.Err(FailureLine(path, "not read", ErrorReason(read.error)));
      status = kExitFileFailed;
      continue;
    }
    const TagRecord* tag = read.status == ReadResult::Status::Tagged ? &record : nullptr;
    console.Out(options.csv       ? CsvLine(path, tag, genres, options.codePage, console.outIsTerminal())
                : options.json    ? JsonLine(path, tag, genres, options.codePage)
                : options.oneLine ? OneLine(path, tag, genres, options.codePage)
                                  : TextBlock(path, tag, genres, options.codePage));
  }
  return status;
}

int RunGenres(const Options& options, const GenreList& genres, Console& console) {
  std::string text;
  for (const GenreEntry& entry : genres.entries()) {
    char code[16];
    std::snprintf(code, sizeof code, "%3ld ", static_cast<long>(entry.code));
    text += code + Printable(DecodeText(options.codePage, entry.name)) + "\n";
  }
  console.Out(text);
  return kExitOk;
}

}  // namespace pelmix::cli
