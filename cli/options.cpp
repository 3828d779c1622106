// One pass over the arguments; "--name value" and "--name=value" both work, "--" ends options.
#include "cli/options.h"

#include <algorithm>

#include "core/ascii.h"

namespace pelmix::cli {
namespace {

struct FieldOption {
  const char* name;
  TagField field;
};

constexpr FieldOption kFieldOptions[] = {
    {"title", TagField::Title}, {"artist", TagField::Artist},   {"album", TagField::Album},
    {"year", TagField::Year},   {"comment", TagField::Comment}, {"track", TagField::Track},
    {"genre", TagField::Genre},
};

std::optional<TagField> FieldNamed(std::string_view name) {
  for (const FieldOption& option : kFieldOptions) {
    if (name == option.name) return option.field;
  }
  return std::nullopt;
}

std::optional<Command> CommandNamed(std::string_view name) {
  if (name == "show") return Command::Show;
  if (name == "stamp") return Command::Stamp;
  if (name == "genres") return Command::Genres;
  if (name == "help") return Command::Help;
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
    if (!field) throw UsageError("--increment: unknown field \"" + name + "\"");
    if (!HasIncrementBox(*field)) throw UsageError("--increment: the " + name + " cannot count up");
    if (std::find(fields.begin(), fields.end(), *field) == fields.end()) fields.push_back(*field);
  }
  return fields;
}

class Parser {
 public:
  explicit Parser(std::vector<Argument>& arguments) : arguments_(arguments) {}

  Options Run() {
    bool commandSeen = false;
    bool optionsEnded = false;
    for (at_ = 0; at_ < arguments_.size(); ++at_) {
      const std::string& text = arguments_[at_].text();
      if (!optionsEnded && text == "--") {
        optionsEnded = true;
      } else if (!optionsEnded && text.size() > 1 && text[0] == '-') {
        // --help and --version win over anything else on the line.
        if (const std::optional<Command> asked = Option(text)) {
          options_.command = *asked;
          return options_;
        }
      } else if (!commandSeen) {
        const std::optional<Command> command = CommandNamed(text);
        if (!command) throw UsageError("unknown command \"" + text + "\"");
        options_.command = *command;
        commandSeen = true;
        if (*command == Command::Help) return options_;
      } else {
        options_.operands.emplace_back(std::move(arguments_[at_].native));
      }
    }
    if (!commandSeen) throw UsageError("no command given");
    CheckFits();
    return options_;
  }

 private:
  // Takes one option, and its value if it has one. Gives the command --help or --version asks for.
  std::optional<Command> Option(const std::string& text) {
    if (text == "-h" || text == "--help") return Command::Help;
    if (text == "--version") return Command::Version;
    if (text == "-r" || text == "--recursive") {
      options_.recursive = true;
      return std::nullopt;
    }
    if (text == "--json") {
      used_.push_back("--json");
      options_.json = true;
      return std::nullopt;
    }
    if (text == "--dry-run" || text == "-n") {
      used_.push_back("--dry-run");
      options_.dryRun = true;
      return std::nullopt;
    }
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const std::optional<std::string> inlineValue =
        equals == std::string::npos ? std::nullopt : std::optional(text.substr(equals + 1));
    if (!name.starts_with("--")) throw UsageError("unknown option \"" + text + "\"");
    const std::string bare = name.substr(2);
    const std::optional<TagField> field = FieldNamed(bare);
    if (!field && bare != "increment" && bare != "encoding" && bare != "genres") {
      throw UsageError("unknown option \"" + name + "\"");
    }
    const std::string value = inlineValue ? *inlineValue : NextValue(name);
    if (field) {
      std::optional<std::string>& slot = options_.values[FieldIndex(*field)];
      if (slot) throw UsageError(name + " given twice");
      slot = value;
      used_.push_back(name);
    } else if (bare == "increment") {
      for (TagField counted : ParseIncrements(value)) {
        if (std::find(options_.increments.begin(), options_.increments.end(), counted) ==
            options_.increments.end()) {
          options_.increments.push_back(counted);
        }
      }
      used_.push_back(name);
    } else if (bare == "encoding") {
      const std::optional<CodePage> page = CodePageByName(value);
      if (!page) {
        throw UsageError("--encoding: unknown code page \"" + value +
                         "\" (windows-1250, windows-1251, windows-1252 or iso-8859-1)");
      }
      options_.codePage = *page;
    } else {
      // A separate value is taken as the system gave it, so any file name works.
      options_.genresFile = inlineValue ? std::filesystem::path(std::u8string(value.begin(), value.end()))
                                        : std::filesystem::path(arguments_[at_].native);
    }
    return std::nullopt;
  }

  // The argument after the option is its value, whatever it looks like.
  std::string NextValue(const std::string& name) {
    if (at_ + 1 >= arguments_.size()) throw UsageError(name + " needs a value");
    return arguments_[++at_].text();
  }

  // Options that belong to another command than the one given.
  void CheckFits() const {
    for (const std::string& option : used_) {
      const bool fits = option == "--json" ? options_.command == Command::Show : options_.command == Command::Stamp;
      if (!fits) throw UsageError(option + (option == "--json" ? " belongs to show" : " belongs to stamp"));
    }
    if (options_.command == Command::Genres && !options_.operands.empty()) {
      throw UsageError("genres takes no files");
    }
  }

  std::vector<Argument>& arguments_;
  std::size_t at_ = 0;
  Options options_;
  std::vector<std::string> used_;
};

}  // namespace

Argument Argument::FromUtf8(const std::string& utf8) {
#ifdef _WIN32
  return {std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).native(), utf8};
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

}  // namespace pelmix::cli
