// A batch: its order, its check before the first file, and each file once.
#include <algorithm>

#include "core/name_pattern.h"
#include "core/natural_order.h"
#include "core/text_increment.h"
#include "session/tag_edit_session.h"

namespace pelmix {
namespace {

bool TrackShown(const BoundValues& values) {
  return values.updateFlag[TagField::Track] == 1 && TrackByte(values.fields.trackText).value_or(kNoTrack) != kNoTrack;
}

}  // namespace

std::optional<FieldProblem> TakeNameValues(const NameSource& names, const FieldFlags& given,
                                           const std::filesystem::path& file, BoundValues& values) {
  const std::string name = PathText(file.stem());
  const std::optional<NameValues> taken = MatchNamePattern(names.pattern, name);
  if (!taken) return FieldProblem{.problem = ValueProblem::NameMismatch, .value = name, .origin = ValueOrigin::Name};
  for (TagField field : kRecordOrder) {
    const std::optional<std::string>& value = (*taken)[FieldIndex(field)];
    if (!value || given[field] == 1) continue;
    if (field == TagField::Track) {
      values.fields.trackText = *value;
    } else {
      auto encoded = EncodeValue(names.codePage, field, *value);
      if (FieldProblem* problem = std::get_if<FieldProblem>(&encoded)) {
        problem->origin = ValueOrigin::Name;
        return *problem;
      }
      values.fields.Text(field) = std::move(std::get<std::string>(encoded));
    }
    values.updateFlag[field] = 1;
  }
  return std::nullopt;
}

std::optional<FieldProblem> TakeRowValues(const TableSource& table, const GenreList& genres, const FieldFlags& given,
                                          const std::filesystem::path& file, const TagRecord& held,
                                          BoundValues& values) {
  const RowValues* row = table.Find(file.native());
  if (!row) return std::nullopt;
  for (TagField field : kRecordOrder) {
    if (given[field] == 1) continue;
    if (field == TagField::Genre) {
      if (!row->genreIndex || GenreByte(genres, *row->genreIndex) == held.GetGenre()) continue;
      values.fields.genreIndex = *row->genreIndex;
    } else {
      const std::optional<std::string>& value = row->text[FieldIndex(field)];
      if (!value) continue;
      if (field == TagField::Track) {
        if (TrackByte(*value) == held.GetTrack()) continue;
        values.fields.trackText = *value;
      } else {
        // Compared as text: a field whose bytes do not decode as they are (UTF-8 cut short)
        // still equals the text that was shown for it.
        if (DecodeText(table.codePage, held.GetFieldText(field)) == *value) continue;
        auto encoded = EncodeValue(table.codePage, field, *value);
        if (FieldProblem* problem = std::get_if<FieldProblem>(&encoded)) {
          problem->origin = ValueOrigin::Table;
          return *problem;
        }
        values.fields.Text(field) = std::move(std::get<std::string>(encoded));
      }
    }
    values.updateFlag[field] = 1;
  }
  return std::nullopt;
}

std::optional<FieldProblem> TagEditSession::TakeFileValues(const BatchOptions& options, const FieldFlags& given,
                                                           const std::filesystem::path& file, const TagRecord& held,
                                                           BoundValues& values) const {
  // Each file starts from the values given for all: the fields the file before took from
  // its own name or row are not this file's.
  values.updateFlag = given;
  if (options.names) return TakeNameValues(*options.names, given, file, values);
  if (options.table) return TakeRowValues(*options.table, genres_, given, file, held, values);
  return std::nullopt;
}

std::optional<FieldProblem> TagEditSession::CheckStored(BoundValues& values, const BatchOptions& options,
                                                        bool trackShown) const {
  if (options.truncate) CutToFit(values.fields, values.updateFlag, *options.truncate, trackShown);
  return CheckValues(values, genres_, trackShown);
}

std::optional<BatchRefusal> TagEditSession::CheckBatch(std::vector<PathName>& files, const BatchOptions& options) {
  exchange_.SaveControls(values_);
  const bool counts = std::any_of(kRecordOrder.begin(), kRecordOrder.end(),
                                  [&](TagField field) { return values_.updateFlag[field] == 1 && CountsUp(field); });
  if (counts && !options.keepOrder && !std::is_sorted(files.begin(), files.end(), NaturalNameLess)) {
    std::stable_sort(files.begin(), files.end(), NaturalNameLess);
  }
  BoundValues asGiven = values_;
  if (std::optional<FieldProblem> problem = CheckStored(asGiven, options, TrackShown(values_))) {
    return BatchRefusal{std::nullopt, std::move(*problem)};
  }
  if (options.table) return CheckFiles(files, options, true);
  // Every file the same values: checked above.
  if (!counts && !options.names) return std::nullopt;
  // Every file is first taken to use up a number; only when a value then fails are the
  // files read, to count just those the batch will write.
  if (!CheckFiles(files, options, false)) return std::nullopt;
  return CheckFiles(files, options, true);
}

std::optional<BatchRefusal> TagEditSession::CheckFiles(const std::vector<PathName>& files, const BatchOptions& options,
                                                       bool lookAtFiles) {
  BoundValues current = values_;
  const FieldFlags given = values_.updateFlag;
  const bool table = options.table.has_value();
  FileOnce once;
  BoundValues file;
  for (std::size_t index = 0; index < files.size(); ++index) {
    const std::filesystem::path path(files[index]);
    TagRecord record;
    record.InitNew();
    if (lookAtFiles) {
      std::int64_t offset = 0;
      const ReadResult read = access_.Read(path, record, offset, false);
      if (!read.ok()) {
        if (!table) continue;
        return BatchRefusal{.file = index, .problem = {}, .reason = BatchRefusal::Reason::NotRead, .error = read.error};
      }
      if (const std::optional<std::size_t> earlier = once.Earlier(read.file, index)) {
        if (!table) continue;
        return BatchRefusal{
            .file = index, .problem = {}, .reason = BatchRefusal::Reason::SameFile, .earlier = *earlier};
      }
    }
    file = current;
    if (std::optional<FieldProblem> problem = TakeFileValues(options, given, path, record, file)) {
      return BatchRefusal{index, std::move(*problem)};
    }
    // A table's file has been read: whether its tag will show a track number is known.
    const bool trackShown = table ? ShowsTrack(RecordToWrite(file.fields, file.updateFlag, record)) : TrackShown(file);
    if (std::optional<FieldProblem> problem = CheckStored(file, options, trackShown)) {
      if (given[problem->field] != 1) problem->origin = table ? ValueOrigin::Table : ValueOrigin::Name;
      return BatchRefusal{index, std::move(*problem)};
    }
    CountUp(current);
  }
  return std::nullopt;
}

void TagEditSession::RunBatch(const std::vector<PathName>& files, const BatchOptions& options, const FileDone& done) {
  exchange_.SaveControls(values_);
  Batch batch{options, values_.updateFlag, {}};
  for (std::size_t index = 0; index < files.size(); ++index) {
    Process(std::filesystem::path(files[index]), &batch);
    if (done && !done(index, result_)) break;
  }
}

}  // namespace pelmix
