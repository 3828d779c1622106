// The files go through the session as a batch, as files dropped on the window do; this file
// only turns the options into the window's values, words what the session refuses, and
// reports each file's outcome.
#include "cli/stamp_command.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "cli/cli_exchange.h"
#include "cli/csv_table.h"
#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/tag_text.h"
#include "cli/text_display.h"
#include "cli/undo_command.h"
#include "core/file_error.h"
#include "core/name_pattern.h"
#include "core/text_codec.h"
#include "session/file_tag_access.h"
#include "session/tag_edit_session.h"

namespace pelmix::cli {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string CodePointText(char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  return code;
}

std::string Option(TagField field) { return std::string("--") + FieldOptionName(field); }

// "29th": the place of a field's last byte. Field widths all lie where "th" is the ending.
std::string Ordinal(std::size_t place) { return std::to_string(place) + "th"; }

std::string CharacterText(char32_t c) {
  std::string character;
  AppendUtf8(character, c);
  return "\"" + Printable(character) + "\" (" + CodePointText(c) + ")";
}

std::string LongerThan(const FieldProblem& problem) {
  std::string text = "longer than its " + std::to_string(problem.width) + " bytes";
  if (problem.trackTakesByte) text += " (the track number takes the " + Ordinal(problem.width + 1) + ")";
  return text;
}

// A value given on the command line that no file can take, in the words of its option.
std::string GivenValueError(const FieldProblem& problem, const Options& options) {
  const TagField field = problem.field;
  switch (problem.problem) {
    case ValueProblem::InvalidText: return Option(field) + ": the value is not valid UTF-8";
    case ValueProblem::NotInCodePage:
      return Option(field) + ": the character " + CharacterText(problem.character) + " cannot be stored in " +
             CodePageName(options.codePage) + "; see --encoding";
    case ValueProblem::TooLong: return Option(field) + ": " + LongerThan(problem);
    case ValueProblem::NotATrackNumber: return "--track: a track number is 1 to 255, or empty for none";
    case ValueProblem::GenreCode: break;
    case ValueProblem::NameMismatch: return "--from-name: the name does not match";
  }
  const std::string& given = *options.Value(field);
  if (AllDigits(given)) return "--genre: a genre code is 0 to 255";
  return "--genre: \"" + Printable(given) + "\" has code " + std::to_string(problem.code) + ", which a tag cannot hold";
}

// The value a file would get: "title \"Part 10\"", "track 256".
std::string ValueText(const FieldProblem& problem, const Options& options) {
  if (problem.field == TagField::Track) return "track " + Printable(problem.value);
  const bool encoded = problem.problem != ValueProblem::InvalidText && problem.problem != ValueProblem::NotInCodePage;
  return std::string(FieldOptionName(problem.field)) + " " +
         Quoted(encoded ? DecodeText(options.codePage, problem.value) : problem.value);
}

// What a value taken for one file cannot be; `from` says where it was taken (" from the name").
std::string FileValueProblem(const FieldProblem& problem, const Options& options, const std::string& from) {
  switch (problem.problem) {
    case ValueProblem::NameMismatch:
      return "the name does not match --from-name \"" + Printable(options.fromName.value_or("")) + "\"";
    case ValueProblem::InvalidText: return std::string(FieldOptionName(problem.field)) + from + " is not valid UTF-8";
    case ValueProblem::NotInCodePage:
      return ValueText(problem, options) + from + " cannot be stored in " + CodePageName(options.codePage);
    case ValueProblem::NotATrackNumber: return ValueText(problem, options) + from + " is not 1 to 255";
    case ValueProblem::TooLong: return ValueText(problem, options) + from + " is " + LongerThan(problem);
    case ValueProblem::GenreCode: return "genre code " + std::to_string(problem.code) + from + " is not 0 to 255";
  }
  return ValueText(problem, options) + from + " cannot be stored";
}

// Why a file of the batch cannot take a value, after "FILE".
std::string FileValueError(const FieldProblem& problem, const Options& options) {
  if (problem.origin == ValueOrigin::Name) return ": " + FileValueProblem(problem, options, " from the name");
  if (problem.problem == ValueProblem::NotATrackNumber)
    return " would get " + ValueText(problem, options) + ", more than 255";
  if (problem.problem == ValueProblem::TooLong && problem.trackTakesByte) {
    return " would get a track number, and with one the comment keeps " + std::to_string(problem.width) + " of its " +
           std::to_string(problem.value.size()) + " bytes";
  }
  if (problem.problem == ValueProblem::TooLong)
    return " would get " + ValueText(problem, options) + ", " + LongerThan(problem);
  return ": " + ValueText(problem, options) + " cannot be stored";
}

// Why a batch from a table cannot be written whole, after its row.
std::string TableRefusalText(const BatchRefusal& refusal, const std::vector<NativeName>& files, const Options& options,
                             const CsvTable& table) {
  switch (refusal.reason) {
    case BatchRefusal::Reason::NotRead:
      return KindOf(refusal.error) == FileErrorKind::IsADirectory ? "is a folder" : ErrorReason(refusal.error);
    case BatchRefusal::Reason::SameFile:
      return "the same file as line " + std::to_string(table.LineOf(files, refusal.earlier));
    case BatchRefusal::Reason::Value: break;
  }
  return FileValueProblem(refusal.problem, options, "");
}

// Why a batch cannot be written whole; nothing of it is.
std::string RefusalText(const BatchRefusal& refusal, const std::vector<NativeName>& files, const Options& options,
                        const CsvTable* table) {
  const FieldProblem& problem = refusal.problem;
  if (!refusal.file) return GivenValueError(problem, options);
  if (table && (refusal.reason != BatchRefusal::Reason::Value || problem.origin == ValueOrigin::Table)) {
    return "--from-csv: " + table->Where(files, *refusal.file) + ": " +
           TableRefusalText(refusal, files, options, *table) + "; nothing written";
  }
  const NativeName& file = files[*refusal.file];
  const std::string prefix = problem.origin == ValueOrigin::Name ? std::string("--from-name")
                             : options.Counts(problem.field)
                                 ? "--increment " + std::string(FieldOptionName(problem.field))
                                 : Option(problem.field);
  return prefix + ": " + Printable(PathText(std::filesystem::path(file))) + FileValueError(problem, options) +
         "; nothing written";
}

int GenreIndex(const Options& options, GenreList& genres, const std::string& value) {
  auto name = EncodeValue(options.codePage, TagField::Genre, value);
  if (const FieldProblem* problem = std::get_if<FieldProblem>(&name))
    throw UsageError(GivenValueError(*problem, options));
  if (const std::optional<int> index = FindGenre(genres, options.codePage, value)) return *index;
  throw UsageError("--genre: unknown genre \"" + Printable(value) + "\" (see pelmix-cli genres)");
}

void CheckIncrements(const Options& options) {
  for (TagField field : options.increments) {
    if (!options.Value(field))
      throw UsageError("--increment " + std::string(FieldOptionName(field)) + " needs " + Option(field));
  }
}

std::string NotWrittenReason(const FileResult& failure, const Options& options) {
  if (failure.outcome == FileOutcome::ValueRefused && failure.problem) {
    const FieldProblem& problem = *failure.problem;
    if (problem.trackTakesByte) {
      return ValueText(problem, options) + " is longer than the " + std::to_string(problem.width) +
             " bytes it keeps with the file's track number";
    }
    return ValueText(problem, options) + " cannot be stored";
  }
  if (failure.changedSinceRead()) return "changed since it was read";
  if (failure.write.status == WriteResult::Status::NotJournaled) return JournalFailedReason(failure.error());
  if (failure.outcome == FileOutcome::NotWritten && failure.write.status == WriteResult::Status::TimeUnknown) {
    return "its modification time could not be kept (--keep-times): " + ErrorReason(failure.error());
  }
  return ErrorReason(failure.error());
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
  OutcomePrinter(Reporter& report, const Options& options, const GenreList& genres)
      : report_(report), options_(options), genres_(genres) {}

  void Outcome(const FileResult& result) {
    const std::filesystem::path& path = result.path;
    if (result.failed()) {
      report_.Failed(path, "not written", NotWrittenReason(result, options_));
      return;
    }
    if (result.outcome == FileOutcome::Repeated) {
      report_.Done(path, "done once: the same file came earlier in the batch", "repeated");
      return;
    }
    details_.clear();
    if (options_.dryRun) {
      for (TagField field : kRecordOrder) details_ += ChangeLine(field, options_, genres_, result.before, result.after);
    }
    const bool appended = result.appended();
    const char* text = result.outcome == FileOutcome::Unchanged ? "unchanged"
                       : options_.dryRun                        ? (appended ? "would append" : "would write in place")
                       : appended                               ? "appended"
                                                                : "written in place";
    const char* key = result.outcome == FileOutcome::Unchanged ? "unchanged" : appended ? "appended" : "written";
    if (AnyField(result.cut)) {
      // The values cut were asked for (--truncate); which they were is part of the outcome.
      std::string cutText = std::string(text) + "; cut to fit:";
      std::string members = ",\"cut\":[";
      const char* comma = "";
      for (TagField field : kRecordOrder) {
        if (result.cut[field] != 1) continue;
        cutText += std::string(*comma ? ", " : " ") + FieldOptionName(field);
        members += std::string(comma) + "\"" + FieldOptionName(field) + "\"";
        comma = ",";
      }
      report_.Done(path, cutText, key, details_, members + "]");
    } else {
      report_.Done(path, text, key, details_);
    }
    // Only a file longer than 128 bytes is read as tagged, so a tag that makes up the whole
    // file is never found again and the next stamp appends one more.
    if (result.outcome == FileOutcome::Written && result.tagOffset == 0) {
      report_.Warn(path,
                   "the file was empty; a file of 128 bytes or fewer is never read as tagged, so this tag "
                   "will not be read back");
    }
    if (result.write.timeError) {
      report_.Warn(path,
                   "written, but its modification time could not be kept: " + ErrorReason(result.write.timeError));
    }
  }

 private:
  Reporter& report_;
  const Options& options_;
  const GenreList& genres_;
  // Reused for every file: a batch of many files makes no garbage per file.
  std::string details_;
};

}  // namespace

BoundValues StampControls(const Options& options, GenreList& genres) {
  BoundValues controls;
  controls.mode = static_cast<int>(EditMode::AutoUpdate);
  bool anyField = options.fromName || options.fromCsv;
  if (options.fromName) {
    if (const std::optional<std::string> problem = NamePatternProblem(*options.fromName)) {
      throw UsageError("--from-name: " + *problem);
    }
  }
  for (TagField field : kRecordOrder) {
    const std::optional<std::string>& value = options.Value(field);
    if (!value) continue;
    anyField = true;
    controls.updateFlag[field] = 1;
    if (field == TagField::Track) {
      controls.fields.trackText = *value;
    } else if (field == TagField::Genre) {
      controls.fields.genreIndex = GenreIndex(options, genres, *value);
    } else {
      auto bytes = EncodeValue(options.codePage, field, *value);
      if (const FieldProblem* problem = std::get_if<FieldProblem>(&bytes))
        throw UsageError(GivenValueError(*problem, options));
      controls.fields.Text(field) = std::move(std::get<std::string>(bytes));
    }
  }
  if (!anyField) throw UsageError("stamp needs at least one field to write");
  CheckIncrements(options);
  for (TagField field : options.increments) controls.incrementFlag[field] = 1;
  return controls;
}

int RunStamp(Options options, GenreList& genres, Console& console) {
  const BoundValues controls = StampControls(options, genres);
  std::optional<CsvTable> table;
  FileList list;
  if (options.fromCsv) {
    table = ReadCsvTable(*options.fromCsv, options, genres);
    list.files = table->files;
  } else {
    if (options.operands.empty()) throw UsageError("stamp needs at least one file");
    list = CollectFiles(std::move(options.operands), options.recursive);
  }
  const std::vector<NativeName> others = options.anyExtension ? std::vector<NativeName>() : TakeNonMp3Names(list.files);

  CliExchange exchange(controls);
  FileTagAccess access({.dryRun = options.dryRun, .keepTimes = options.keepTimes});
  TagEditSession session(genres, exchange, &access);
  BatchOptions batch{.keepOrder = options.keepOrder};
  if (options.fromName) batch.names = NameSource{*options.fromName, options.codePage};
  if (table) batch.table = std::move(table->source);
  if (options.truncate) batch.truncate = options.codePage;
  if (const std::optional<BatchRefusal> refusal = session.CheckBatch(list.files, batch)) {
    throw UsageError(RefusalText(*refusal, list.files, options, table ? &*table : nullptr));
  }

  const std::unique_ptr<BatchJournal> journal = StartJournal(options, "stamp");
  access.SetJournal(journal.get());
  Reporter report(console, options, list.files.size());
  for (const FileList::Failure& failure : list.failures) report.Failed(failure.path, "not listed", failure.reason);
  for (const std::filesystem::path& link : list.skippedLinks) report.Warn(link, kSkippedLink);
  for (const NativeName& name : others) {
    report.Failed(std::filesystem::path(name), "not written", "not an .mp3 file (--any-extension writes it)");
  }
  OutcomePrinter print(report, options, genres);
  if (StopRequested()) return EndJournal(journal.get(), false, console, report.status());
  bool stopped = false;
  session.RunBatch(list.files, batch, [&](std::size_t, const FileResult& result) {
    print.Outcome(result);
    report.Next();
    // Without its record no file may be written: the batch ends here.
    stopped = result.write.status == WriteResult::Status::NotJournaled;
    // A stop finishes the file in hand; every file done is reported.
    return !stopped && !StopRequested();
  });
  return EndJournal(journal.get(), stopped, console, report.status());
}

}  // namespace pelmix::cli
