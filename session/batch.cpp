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
  if (!taken) return FieldProblem{.problem = ValueProblem::NameMismatch, .value = name, .fromName = true};
  for (TagField field : kRecordOrder) {
    const std::optional<std::string>& value = (*taken)[FieldIndex(field)];
    if (!value || given[field] == 1) continue;
    if (field == TagField::Track) {
      values.fields.trackText = *value;
    } else {
      auto encoded = EncodeValue(names.codePage, field, *value);
      if (FieldProblem* problem = std::get_if<FieldProblem>(&encoded)) {
        problem->fromName = true;
        return *problem;
      }
      values.fields.Text(field) = std::move(std::get<std::string>(encoded));
    }
    values.updateFlag[field] = 1;
  }
  return std::nullopt;
}

std::optional<BatchRefusal> TagEditSession::CheckBatch(std::vector<PathName>& files, const BatchOptions& options) {
  exchange_.SaveControls(values_);
  const bool counts = std::any_of(kRecordOrder.begin(), kRecordOrder.end(),
                                  [&](TagField field) { return values_.updateFlag[field] == 1 && CountsUp(field); });
  if (counts && !options.keepOrder && !std::is_sorted(files.begin(), files.end(), NaturalNameLess)) {
    std::stable_sort(files.begin(), files.end(), NaturalNameLess);
  }
  if (std::optional<FieldProblem> problem = CheckValues(values_, genres_, TrackShown(values_))) {
    return BatchRefusal{std::nullopt, std::move(*problem)};
  }
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
  FileOnce once;
  for (std::size_t index = 0; index < files.size(); ++index) {
    const std::filesystem::path path(files[index]);
    if (lookAtFiles) {
      TagRecord record;
      std::int64_t offset = 0;
      const ReadResult read = access_.Read(path, record, offset, false);
      if (!read.ok() || !once.FirstTime(read.file)) continue;
    }
    BoundValues named;
    const BoundValues* file = &current;
    if (options.names) {
      named = current;
      file = &named;
      if (std::optional<FieldProblem> problem = TakeNameValues(*options.names, given, path, named)) {
        return BatchRefusal{index, std::move(*problem)};
      }
    }
    if (std::optional<FieldProblem> problem = CheckValues(*file, genres_, TrackShown(*file))) {
      problem->fromName = given[problem->field] != 1;
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
