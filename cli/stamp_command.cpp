// The files go one by one through the session's ProcessFile, as dropped files do in the
// window; this file only prepares the values and reports what each file's turn did.
#include "cli/stamp_command.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/cli_exchange.h"
#include "cli/cli_tag_access.h"
#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/tag_text.h"
#include "cli/text_display.h"
#include "core/field_layout.h"
#include "core/name_pattern.h"
#include "core/text_codec.h"
#include "session/tag_edit_session.h"

namespace pelmix::cli {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The value of a run of digits, capped just above anything a byte holds.
int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = std::min(value * 10 + (c - '0'), 1000);
  return value;
}

std::string CodePointText(char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  return code;
}

std::string Encoded(const Options& options, TagField field, const std::string& utf8) {
  const std::string option = std::string("--") + FieldOptionName(field);
  EncodeResult result = EncodeText(options.codePage, utf8);
  switch (result.status) {
    case EncodeResult::Status::Ok: break;
    case EncodeResult::Status::InvalidUtf8: throw UsageError(option + ": the value is not valid UTF-8");
    case EncodeResult::Status::Unencodable: {
      std::string character;
      AppendUtf8(character, result.character);
      throw UsageError(option + ": the character \"" + Printable(character) + "\" (" + CodePointText(result.character) +
                       ") cannot be stored in " + CodePageName(options.codePage) + "; see --encoding");
    }
  }
  return std::move(result.bytes);
}

int GenreIndex(const Options& options, GenreList& genres, const std::string& value) {
  if (value.empty()) return -1;  // no genre: the session writes 255
  if (AllDigits(value)) {
    const int code = DigitsValue(value);
    if (code > 255) throw UsageError("--genre: a genre code is 0 to 255");
    const int index = genres.IndexOfCode(code);
    return index != -1 ? index : genres.Add("", code);
  }
  const std::string name = Encoded(options, TagField::Genre, value);
  for (int index = 0; index < genres.Count(); ++index) {
    if (GenreList::CompareIgnoringCase(genres.NameAt(index), name) != 0) continue;
    const std::int32_t code = genres.CodeAt(index);
    // The session would store only the low byte: another genre altogether.
    if (code < 0 || code > 255) {
      throw UsageError("--genre: \"" + Printable(value) + "\" has code " + std::to_string(code) +
                       ", which a tag cannot hold");
    }
    return index;
  }
  throw UsageError("--genre: unknown genre \"" + Printable(value) + "\" (see pelmix-cli genres)");
}

std::string TrackValue(const std::string& value) {
  if (value.empty()) return value;  // no track number
  if (!AllDigits(value) || DigitsValue(value) < 1 || DigitsValue(value) > kHighestTrack) {
    throw UsageError("--track: a track number is 1 to 255, or empty for none");
  }
  return value;
}

// "29th": the place of a field's last byte, as the warnings name it. Field widths all
// lie where "th" is the ending.
std::string LastByteName(std::size_t width) { return std::to_string(width) + "th"; }

void CheckIncrements(const Options& options) {
  for (TagField field : options.increments) {
    if (!options.Value(field)) {
      throw UsageError(std::string("--increment ") + FieldOptionName(field) + " needs --" + FieldOptionName(field));
    }
  }
}

std::string NotWrittenReason(const FileResult& failure) {
  if (failure.changedSinceRead()) return "changed since it was read";
  return ErrorReason(failure.error());
}

// The track number the file at `index` of the batch gets, counting up from `start`
// (empty: none, then 1, 2, ...), assuming every file before it is read.
int CountedTrack(const std::string& start, std::size_t index) {
  const std::size_t first = start.empty() ? 0 : static_cast<std::size_t>(DigitsValue(start));
  return static_cast<int>(std::min<std::size_t>(first + index, 1000));
}

// A counted-up track cannot pass 255: the batch is refused before any file is opened, so
// no file is left half-numbered.
void CheckTrackRoom(const Options& options, const std::vector<NativeName>& files) {
  if (!options.Counts(TagField::Track) || files.empty()) return;
  const std::string& start = *options.Value(TagField::Track);
  if (CountedTrack(start, files.size() - 1) <= kHighestTrack) return;
  std::size_t over = 0;
  while (CountedTrack(start, over) <= kHighestTrack) ++over;
  throw UsageError("--increment track: " + Printable(PathText(std::filesystem::path(files[over]))) +
                   " would get track " + std::to_string(CountedTrack(start, over)) +
                   ", more than 255; nothing written");
}

// The values the file's name gives for the fields not given on the command line, in the
// tag's code page, put into the controls; or why the name gives none.
std::optional<std::string> TakeNameValues(const Options& options, const std::filesystem::path& path,
                                          BoundValues& controls) {
  const std::filesystem::path stem = path.stem();
  const std::string name = PathText(stem);
  const std::optional<NameValues> values = MatchNamePattern(*options.fromName, name);
  if (!values) return "the name does not match --from-name \"" + Printable(*options.fromName) + "\"";
  for (TagField field : kRecordOrder) {
    const std::optional<std::string>& value = (*values)[FieldIndex(field)];
    if (!value || options.Value(field)) continue;
    if (field == TagField::Track) {
      if (DigitsValue(*value) < 1 || DigitsValue(*value) > kHighestTrack) {
        return "track " + *value + " from the name is not 1 to 255";
      }
      controls.fields.trackText = std::to_string(DigitsValue(*value));
    } else {
      const EncodeResult encoded = EncodeText(options.codePage, *value);
      if (encoded.status != EncodeResult::Status::Ok) {
        return std::string(FieldOptionName(field)) + " " + Quoted(*value) + " from the name cannot be stored in " +
               CodePageName(options.codePage);
      }
      // No placeholder stands for the comment, so no width here depends on the track number.
      const std::size_t width = TextFieldSpan(field).width;
      if (encoded.bytes.size() > width) {
        return std::string(FieldOptionName(field)) + " " + Quoted(*value) + " from the name is longer than its " +
               std::to_string(width) + " bytes";
      }
      controls.fields.Text(field) = encoded.bytes;
    }
    controls.updateFlag[field] = 1;
  }
  return std::nullopt;
}

// Why a field of the record differs from what this file was meant to get, or empty. Counting
// up can outgrow a field during a batch; a track number takes the comment's 29th byte.
std::string Warning(TagField field, const Options& options, const FieldValues& stamped, const TagRecord& before,
                    const TagRecord& after) {
  const bool given = options.Value(field).has_value();
  if (field == TagField::Track) {
    const std::string& track = stamped.trackText;
    if (!given || !AllDigits(track) || DigitsValue(track) <= kHighestTrack) return {};
    return "track " + track + " is more than 255; written as " + TrackText(after.GetTrack());
  }
  if (field == TagField::Genre || (!given && field != TagField::Comment)) return {};
  const std::string written = after.GetFieldText(field);
  const std::string meant = given ? stamped.Text(field) : before.GetFieldText(field);
  if (written == meant) return {};
  const std::size_t width = TextFieldSpan(field).width;
  const bool trackTookByte = TextFieldWidth(field, after.GetTrack() != kNoTrack) < width && meant.size() == width;
  const CodePage page = options.codePage;
  return std::string(FieldOptionName(field)) + " " + Quoted(DecodeText(page, meant)) +
         (trackTookByte ? " lost its " + LastByteName(width) + " byte to the track number"
                        : " is longer than its " + std::to_string(width) + " bytes") +
         "; written as " + Quoted(DecodeText(page, written));
}

// "  title: "old" -> "new"" for a dry run, or empty for a field neither given nor changed.
std::string ChangeLine(TagField field, const Options& options, const GenreList& genres, const TagRecord& before,
                       const TagRecord& after) {
  const CodePage page = options.codePage;
  std::string oldText;
  std::string newText;
  if (field == TagField::Track) {
    oldText = TrackText(before.GetTrack());
    newText = TrackText(after.GetTrack());
  } else if (field == TagField::Genre) {
    oldText = GenreText(genres, page, before.GetGenre());
    newText = GenreText(genres, page, after.GetGenre());
  } else {
    oldText = Quoted(DecodeText(page, before.GetFieldText(field)));
    newText = Quoted(DecodeText(page, after.GetFieldText(field)));
  }
  if (!options.Value(field) && oldText == newText) return {};
  return "  " + std::string(FieldOptionName(field)) + ": " + oldText + " -> " + newText + "\n";
}

// Each file's outcome as stamp reports it: its line, the changes of a dry run, warnings.
class OutcomePrinter {
 public:
  OutcomePrinter(Reporter& report, const Options& options, const GenreList& genres, const FieldFlags& counted)
      : report_(report), options_(options), genres_(genres), counted_(counted) {}

  // `stamped` are the values the file was meant to get; `timeError` why its time was not kept.
  void Outcome(const FileResult& result, const FieldValues& stamped, const std::error_code& timeError) {
    const std::filesystem::path& path = result.path;
    if (result.failed()) {
      report_.Failed(path, "not written", NotWrittenReason(result));
      return;
    }
    details_.clear();
    if (options_.dryRun) {
      for (TagField field : kRecordOrder) details_ += ChangeLine(field, options_, genres_, result.before, result.after);
    }
    const bool appended = result.appended();
    if (result.outcome == FileOutcome::Unchanged) {
      report_.Done(path, "unchanged", "unchanged", details_);
    } else if (options_.dryRun) {
      report_.Done(path, appended ? "would append" : "would write in place", appended ? "appended" : "written",
                   details_);
    } else {
      report_.Done(path, appended ? "appended" : "written in place", appended ? "appended" : "written");
    }
    // Only a file longer than 128 bytes is read as tagged, so a trailer that makes up the
    // whole file is never found again and the next stamp appends one more.
    if (result.tagOffset == 0) {
      report_.Warn(path,
                   "the file was empty; a file of 128 bytes or fewer is never read as tagged, so this tag "
                   "will not be read back");
    }
    for (TagField field : kRecordOrder) {
      // A counter that has outgrown its field stays too long for the rest of the batch:
      // one warning, on the file where it happened, says so.
      if (outgrown_[FieldIndex(field)]) continue;
      std::string warning = Warning(field, options_, stamped, result.before, result.after);
      if (warning.empty()) continue;
      if (counted_[field] == 1) {
        outgrown_[FieldIndex(field)] = true;
        warning += " (not repeated for later files)";
      }
      report_.Warn(path, warning);
    }
    if (timeError)
      report_.Warn(path, "written, but its modification time could not be kept: " + ErrorReason(timeError));
  }

 private:
  Reporter& report_;
  const Options& options_;
  const GenreList& genres_;
  const FieldFlags& counted_;
  std::array<bool, kTagFieldCount> outgrown_{};
  // Reused for every file: a batch of many files makes no garbage per file.
  std::string details_;
};

}  // namespace

BoundValues StampControls(const Options& options, GenreList& genres) {
  BoundValues controls;
  controls.mode = static_cast<int>(EditMode::AutoUpdate);
  bool anyField = options.fromName.has_value();
  if (options.fromName) {
    if (const std::optional<std::string> problem = NamePatternProblem(*options.fromName)) {
      throw UsageError("--from-name: " + *problem);
    }
  }
  const std::optional<std::string>& track = options.Value(TagField::Track);
  const bool trackNumbered = track && (!track->empty() || options.Counts(TagField::Track));
  for (TagField field : kRecordOrder) {
    const std::optional<std::string>& value = options.Value(field);
    if (!value) continue;
    anyField = true;
    controls.updateFlag[field] = 1;
    if (field == TagField::Track) {
      controls.fields.trackText = TrackValue(*value);
    } else if (field == TagField::Genre) {
      controls.fields.genreIndex = GenreIndex(options, genres, *value);
    } else {
      std::string bytes = Encoded(options, field, *value);
      const std::size_t width = TextFieldWidth(field, trackNumbered);
      const std::size_t fullWidth = TextFieldSpan(field).width;
      if (bytes.size() > width) {
        throw UsageError(std::string("--") + FieldOptionName(field) + ": longer than its " + std::to_string(width) +
                         " bytes" +
                         (width < fullWidth ? " (the track number takes the " + LastByteName(fullWidth) + ")" : ""));
      }
      controls.fields.Text(field) = std::move(bytes);
    }
  }
  if (!anyField) throw UsageError("stamp needs at least one field to write");
  CheckIncrements(options);
  for (TagField field : options.increments) controls.incrementFlag[field] = 1;
  return controls;
}

int RunStamp(Options options, GenreList& genres, Console& console) {
  const BoundValues controls = StampControls(options, genres);
  if (options.operands.empty()) throw UsageError("stamp needs at least one file");
  FileList list = CollectFiles(std::move(options.operands), options.recursive);
  const std::vector<NativeName> others = options.anyExtension ? std::vector<NativeName>() : TakeNonMp3Names(list.files);
  // Numbers follow the names, whatever order the shell's glob gave them in.
  if (!options.increments.empty() && !options.keepOrder) SortNaturally(list.files);
  CheckTrackRoom(options, list.files);

  Reporter report(console, options, list.files.size());
  for (const FileList::Failure& failure : list.failures) report.Failed(failure.path, "not listed", failure.reason);
  for (const std::filesystem::path& link : list.skippedLinks) report.Warn(link, kSkippedLink);
  for (const NativeName& name : others) {
    report.Failed(std::filesystem::path(name), "not written", "not an .mp3 file (--any-extension writes it)");
  }

  CliExchange exchange(controls);
  CliTagAccess access(options.dryRun, options.keepTimes);
  TagEditSession session(genres, exchange, &access);
  OutcomePrinter print(report, options, genres, controls.incrementFlag);
  for (NativeName& name : list.files) {
    if (StopRequested()) break;
    const std::filesystem::path path(std::move(name));
    if (options.fromName) {
      // The name's values stand in for this file only; counted-up values carry on as they are.
      BoundValues& current = exchange.controls();
      for (TagField field : kRecordOrder) {
        if (!options.Value(field)) current.updateFlag[field] = 0;
      }
      if (const std::optional<std::string> problem = TakeNameValues(options, path, current)) {
        report.Failed(path, "not written", *problem);
        report.Next();
        continue;
      }
    }
    const FieldValues stamped = exchange.controls().fields;
    session.ProcessFile(path);
    print.Outcome(session.lastResult(), stamped, access.timeError());
    report.Next();
  }
  return report.status();
}

}  // namespace pelmix::cli
