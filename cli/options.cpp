// The arguments go through getopt_long in "return in order" mode: operands come back one
// by one in place, so each stays tied to its original (native) argument, and no option
// reordering depends on POSIXLY_CORRECT.
#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <utility>

#include "cli/text_display.h"
#include "core/ascii.h"

namespace pelmix::cli {
namespace {

// Values for the long options that have no short letter.
enum LongOnly : int {
  kIncrement = 256,
  kEncoding,
  kGenres,
  kJson,
  kKeepOrder,
  kAnyExtension,
  kKeepTimes,
  kFromName,
  kList,
  kNoJournal,
  kTruncate,
  kCsv,
  kFromCsv,
  kTo,
};

constexpr char kShortOptions[] = "-:hVrnq1t:a:A:y:c:T:g:";

constexpr option kLongOptions[] = {
    {"title", required_argument, nullptr, 't'},
    {"artist", required_argument, nullptr, 'a'},
    {"album", required_argument, nullptr, 'A'},
    {"year", required_argument, nullptr, 'y'},
    {"comment", required_argument, nullptr, 'c'},
    {"track", required_argument, nullptr, 'T'},
    {"genre", required_argument, nullptr, 'g'},
    {"increment", required_argument, nullptr, kIncrement},
    {"from-name", required_argument, nullptr, kFromName},
    {"from-csv", required_argument, nullptr, kFromCsv},
    {"to", required_argument, nullptr, kTo},
    {"truncate", no_argument, nullptr, kTruncate},
    {"keep-order", no_argument, nullptr, kKeepOrder},
    {"keep-times", no_argument, nullptr, kKeepTimes},
    {"any-extension", no_argument, nullptr, kAnyExtension},
    {"dry-run", no_argument, nullptr, 'n'},
    {"quiet", no_argument, nullptr, 'q'},
    {"json", no_argument, nullptr, kJson},
    {"oneline", no_argument, nullptr, '1'},
    {"csv", no_argument, nullptr, kCsv},
    {"recursive", no_argument, nullptr, 'r'},
    {"list", no_argument, nullptr, kList},
    {"no-journal", no_argument, nullptr, kNoJournal},
    {"encoding", required_argument, nullptr, kEncoding},
    {"genres", required_argument, nullptr, kGenres},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

struct FieldOption {
  const char* name;
  TagField field;
  int letter;
};

constexpr FieldOption kFieldOptions[] = {
    {"title", TagField::Title, 't'}, {"artist", TagField::Artist, 'a'},   {"album", TagField::Album, 'A'},
    {"year", TagField::Year, 'y'},   {"comment", TagField::Comment, 'c'}, {"track", TagField::Track, 'T'},
    {"genre", TagField::Genre, 'g'},
};

struct CommandEntry {
  const char* name;
  Command command;
};

constexpr CommandEntry kCommands[] = {
    {"show", Command::Show}, {"stamp", Command::Stamp}, {"strip", Command::Strip},   {"genres", Command::Genres},
    {"help", Command::Help}, {"undo", Command::Undo},   {"rename", Command::Rename},
};

constexpr unsigned Bit(Command command) { return 1u << static_cast<unsigned>(command); }

constexpr unsigned kShow = Bit(Command::Show);
constexpr unsigned kStamp = Bit(Command::Stamp);
constexpr unsigned kStrip = Bit(Command::Strip);
constexpr unsigned kUndo = Bit(Command::Undo);
constexpr unsigned kRename = Bit(Command::Rename);

// Which commands take an option; the field options go with stamp, the common ones
// (--encoding, --genres) with every command.
struct Fit {
  int value;
  unsigned commands;
};

constexpr Fit kFits[] = {
    {kJson, kShow | kStamp | kStrip | kUndo | kRename},
    {'1', kShow},
    {kCsv, kShow},
    {'r', kShow | kStamp | kStrip | kRename},
    {'n', kStamp | kStrip | kUndo | kRename},
    {'q', kStamp | kStrip | kUndo | kRename},
    {kList, kUndo},
    {kNoJournal, kStamp | kStrip | kUndo | kRename},
    {kTo, kRename},
    {kAnyExtension, kStamp | kStrip},
    {kKeepTimes, kStamp | kStrip},
    {kKeepOrder, kStamp},
    {kIncrement, kStamp},
    {kFromName, kStamp},
    {kFromCsv, kStamp},
    {kTruncate, kStamp},
    {kEncoding, ~0u},
    {kGenres, ~0u},
};

std::optional<TagField> FieldNamed(std::string_view name) {
  for (const FieldOption& option : kFieldOptions) {
    if (name == option.name) return option.field;
  }
  return std::nullopt;
}

std::optional<Command> CommandNamed(std::string_view name) {
  for (const CommandEntry& entry : kCommands) {
    if (name == entry.name) return entry.command;
  }
  return std::nullopt;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    c = AsciiLower(c);
  }
  return text;
}

std::vector<TagField> ParseIncrements(const std::string& list) {
  std::vector<TagField> fields;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string name = Lower(list.substr(start, comma - start));
    start = comma + 1;
    const std::optional<TagField> field = FieldNamed(name);
    if (!field) throw UsageError("--increment: unknown field \"" + Printable(name) + "\"");
    if (!HasIncrementBox(*field)) throw UsageError("--increment: the " + name + " cannot count up");
    if (std::find(fields.begin(), fields.end(), *field) == fields.end()) fields.push_back(*field);
  }
  return fields;
}

// The option's name as the user typed it, for messages: "--title" or "-t".
std::string TypedName(const char* element, int letter) {
  const std::string_view text(element);
  if (text.starts_with("--")) return Printable(text.substr(0, text.find('=')));
  return letter > ' ' && letter < 0x7F ? std::string("-") + static_cast<char>(letter) : Printable(text);
}

std::string LongName(int value) {
  for (const option& entry : kLongOptions) {
    if (entry.name && entry.val == value) return std::string("--") + entry.name;
  }
  return {};
}

class Parser {
 public:
  explicit Parser(std::vector<Argument>& arguments) : arguments_(arguments) {
    argv_.push_back(const_cast<char*>("pelmix-cli"));
    for (const Argument& argument : arguments_) argv_.push_back(const_cast<char*>(argument.text().c_str()));
    argv_.push_back(nullptr);
  }

  Options Run() {
    const int argc = static_cast<int>(argv_.size() - 1);
    // 0 starts getopt afresh, on glibc and mingw-w64 alike: a second parse in one process works.
    optind = 0;
    opterr = 0;
    for (;;) {
      const int element = std::max(optind, 1);
      const int value = getopt_long(argc, argv_.data(), kShortOptions, kLongOptions, nullptr);
      if (value == -1) break;
      try {
        Take(value, element);
      } catch (const UsageError& error) {
        if (!firstError_) firstError_ = error.what();
      }
    }
    try {
      for (int at = optind; at < argc; ++at) Operand(static_cast<std::size_t>(at - 1));
    } catch (const UsageError& error) {
      if (!firstError_) firstError_ = error.what();
    }
    if (help_) {
      options_.helpTopic = commandSeen_ ? std::optional(options_.command) : std::nullopt;
      options_.command = Command::Help;
      return std::move(options_);
    }
    if (version_) {
      options_.command = Command::Version;
      return std::move(options_);
    }
    const std::optional<Command> command = commandSeen_ ? std::optional(options_.command) : std::nullopt;
    if (firstError_) throw UsageError(*firstError_, command);
    if (!commandSeen_) throw UsageError("no command given");
    try {
      CheckFits();
    } catch (const UsageError& error) {
      throw UsageError(error.what(), command);
    }
    return std::move(options_);
  }

 private:
  void Take(int value, int element) {
    switch (value) {
      case 1: Operand(IndexOf(optarg)); return;
      case 'h': help_ = true; return;
      case 'V': version_ = true; return;
      case ':': {
        // mingw-w64's getopt_long also gives ':' for "--json=yes"; only a value given tells them apart.
        const char* text = argv_[static_cast<std::size_t>(element)];
        const std::string_view typed(text);
        const bool valueGiven = typed.starts_with("--") && typed.find('=') != std::string_view::npos;
        throw UsageError(TypedName(text, optopt) + (valueGiven ? " takes no value" : " needs a value"));
      }
      case '?': {
        const char* text = argv_[static_cast<std::size_t>(element)];
        const bool known = std::string_view(text).starts_with("--") && optopt != 0;
        throw UsageError(
            (known ? TypedName(text, optopt) + " takes no value" : "unknown option " + TypedName(text, optopt)));
      }
      default: break;
    }
    used_.push_back(value);
    switch (value) {
      case 'r': options_.recursive = true; return;
      case 'n': options_.dryRun = true; return;
      case 'q': options_.quiet = true; return;
      case '1': options_.oneLine = true; return;
      case kJson: options_.json = true; return;
      case kKeepOrder: options_.keepOrder = true; return;
      case kKeepTimes: options_.keepTimes = true; return;
      case kAnyExtension: options_.anyExtension = true; return;
      case kList: options_.list = true; return;
      case kNoJournal: options_.noJournal = true; return;
      case kTruncate: options_.truncate = true; return;
      case kCsv: options_.csv = true; return;
      case kTo:
        if (options_.renameTo) throw UsageError("--to given twice");
        options_.renameTo = optarg;
        return;
      case kFromName:
        if (options_.fromName) throw UsageError("--from-name given twice");
        options_.fromName = optarg;
        return;
      case kIncrement:
        for (TagField counted : ParseIncrements(optarg)) {
          if (!options_.Counts(counted)) options_.increments.push_back(counted);
        }
        return;
      case kEncoding: {
        const std::optional<CodePage> page = CodePageByName(optarg);
        if (!page) {
          throw UsageError("--encoding: unknown code page \"" + Printable(optarg) +
                           "\" (windows-1250, windows-1251, windows-1252, iso-8859-1 or utf-8)");
        }
        options_.codePage = *page;
        return;
      }
      case kGenres: options_.genresFile = FileValue(); return;
      case kFromCsv:
        if (options_.fromCsv) throw UsageError("--from-csv given twice");
        options_.fromCsv = FileValue();
        return;
      default: break;
    }
    for (const FieldOption& field : kFieldOptions) {
      if (field.letter != value) continue;
      std::optional<std::string>& slot = options_.values[FieldIndex(field.field)];
      if (slot) throw UsageError(std::string("--") + field.name + " given twice");
      slot = optarg;
      return;
    }
  }

  // A value given as its own argument is taken as the system gave it, so any file name works.
  std::filesystem::path FileValue() const {
    const std::size_t index = IndexOf(optarg);
    if (index < arguments_.size()) return std::filesystem::path(arguments_[index].native);
    return PathFromUtf8(optarg);
  }

  // The argument the pointer is, or arguments_.size() for a pointer into the middle of one.
  // getopt has just stepped past it, so the search almost always ends at once.
  std::size_t IndexOf(const char* text) const {
    const auto at = static_cast<std::size_t>(optind);
    if (optind >= 2 && at < argv_.size() && argv_[at - 1] == text) {
      return at - 2;
    }
    const auto found = std::find(argv_.begin() + 1, argv_.end() - 1, text);
    return static_cast<std::size_t>(found - argv_.begin()) - 1;
  }

  void Operand(std::size_t index) {
    if (commandSeen_) {
      options_.operands.emplace_back(std::move(arguments_[index].native));
      return;
    }
    const std::string& text = arguments_[index].text();
    const std::optional<Command> command = CommandNamed(text);
    if (!command) throw UsageError("unknown command \"" + Printable(text) + "\"");
    options_.command = *command;
    commandSeen_ = true;
  }

  // Options that belong to another command than the one given.
  void CheckFits() {
    if (options_.command == Command::Help) {
      // "help stamp" asks for the help of stamp.
      if (!options_.operands.empty()) {
        const std::string name = PathText(options_.operands.front());
        options_.helpTopic = CommandNamed(name);
        if (!options_.helpTopic || options_.helpTopic == Command::Help) {
          throw UsageError("help: unknown command \"" + Printable(name) + "\"");
        }
      }
      return;
    }
    for (const int value : used_) {
      unsigned commands = kStamp;
      for (const Fit& fit : kFits) {
        if (fit.value == value) commands = fit.commands;
      }
      const bool fits = (commands & Bit(options_.command)) != 0;
      if (!fits) {
        const std::string name = LongName(value);
        throw UsageError(name + " does not go with " + CommandName(options_.command));
      }
    }
    if (options_.command == Command::Genres && !options_.operands.empty()) {
      throw UsageError("genres takes no files");
    }
    if (options_.command == Command::Undo) {
      if (options_.operands.size() > 1) throw UsageError("undo takes one batch at a time");
      if (options_.list && !options_.operands.empty()) throw UsageError("--list takes no batch");
      if (options_.list && (options_.dryRun || options_.quiet)) {
        throw UsageError(std::string(options_.dryRun ? "--dry-run" : "--quiet") + " does not go with --list");
      }
    }
    if (options_.quiet && options_.json) throw UsageError("--quiet and --json do not go together");
    if (options_.oneLine && options_.json) throw UsageError("--oneline and --json do not go together");
    if (options_.csv && (options_.json || options_.oneLine)) {
      throw UsageError(std::string(options_.json ? "--json" : "--oneline") + " and --csv do not go together");
    }
    if (options_.fromCsv && options_.fromName) throw UsageError("--from-csv and --from-name do not go together");
    // The rows name the files.
    if (options_.fromCsv && options_.recursive) throw UsageError("--recursive does not go with --from-csv");
    if (options_.fromCsv && !options_.operands.empty())
      throw UsageError("--from-csv takes no files: its rows name them");
  }

  std::vector<Argument>& arguments_;
  std::vector<char*> argv_;
  Options options_;
  std::vector<int> used_;
  bool commandSeen_ = false;
  bool help_ = false;
  bool version_ = false;
  std::optional<std::string> firstError_;
};

}  // namespace

Argument Argument::FromUtf8(const std::string& utf8) {
#ifdef _WIN32
  return {PathFromUtf8(utf8).native(), utf8};
#else
  return {utf8};
#endif
}

Options ParseOptions(std::vector<Argument> arguments) { return Parser(arguments).Run(); }

const char* FieldOptionName(TagField field) {
  for (const FieldOption& option : kFieldOptions) {
    if (option.field == field) return option.name;
  }
  return "";
}

const char* CommandName(Command command) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.command == command) return entry.name;
  }
  return "";
}

}  // namespace pelmix::cli
