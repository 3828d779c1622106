// pelmix-cli's help texts, its dispatch to the commands, and usage errors turned into exit status 2.
#include "cli/cli_main.h"

#include <cassert>
#include <exception>
#include <string>

#include "cli/genre_source.h"
#include "cli/rename_command.h"
#include "cli/show_command.h"
#include "cli/stamp_command.h"
#include "cli/strip_command.h"
#include "cli/undo_command.h"
#include "session/value_rules.h"

namespace pelmix::cli {
namespace {

constexpr char kProgramHelp[] =
    "pelmix-cli: shows, stamps and strips the ID3v1 and ID3v1.1 tags of MP3 files.\n"
    "usage: pelmix-cli COMMAND [OPTION]... [FILE|DIR]...\n"
    "The tag is the last 128 bytes of a file; no other byte is read or written.\n"
    "\n"
    "Commands:\n"
    "  show      print each file's tag\n"
    "  stamp     write the given fields into every file, keeping the others\n"
    "  strip     remove each file's tag trailer\n"
    "  rename    name each file after its tag: rename --to \"%n - %t\" *.mp3\n"
    "  genres    print the genre list, code and name\n"
    "  undo      take back the last batch (stamp, strip, rename, the window's)\n"
    "  help CMD  the options of one command, as pelmix-cli CMD --help gives them\n"
    "\n"
    "Options of every command:\n"
    "      --encoding CP   the tags' code page: windows-1252 (default), windows-1250,\n"
    "                      windows-1251, iso-8859-1 or utf-8\n"
    "      --genres FILE   read the genre list from FILE, not the built-in one\n"
    "  -h, --help          show this help, or a command's, and exit\n"
    "  -V, --version       show the version and exit\n"
    "\n"
    "Every batch that writes is first recorded in the undo journal (see pelmix-cli undo\n"
    "--help); a batch whose journal cannot be written writes nothing.\n"
    "\n"
    "Exit status: 0 every file done, 1 a file failed, 2 usage error or no journal (no file\n"
    "touched).\n";

constexpr char kShowHelp[] =
    "usage: pelmix-cli show [OPTION]... FILE|DIR...\n"
    "Prints each file's tag: title, artist, album, year, comment, track and genre.\n"
    "\n"
    "  -1, --oneline       one line per file\n"
    "      --json          one JSON object per file\n"
    "      --csv           a CSV table: a header line, then path and fields of\n"
    "                      each file, for a spreadsheet and stamp --from-csv\n"
    "  -r, --recursive     a folder stands for the .mp3 files beneath it\n"
    "      --encoding CP   the tags' code page (see pelmix-cli --help)\n"
    "      --genres FILE   read the genre list from FILE\n";

// The stamp help around the field lines, which StampHelp builds from the layout table.
constexpr char kStampHelpHead[] =
    "usage: pelmix-cli stamp [OPTION]... FILE|DIR...\n"
    "       pelmix-cli stamp [OPTION]... --from-csv FILE\n"
    "Writes the given fields into every file and keeps each file's other fields.\n"
    "\n";

constexpr char kStampHelpRest[] =
    "  -T, --track N          track number 1 to 255; empty for none\n"
    "  -g, --genre NAME|CODE  genre name or code 0 to 255; empty for none\n"
    "      --increment F,...  count these up by one after every file: track, title,\n"
    "                         artist, album, comment; files go in natural order\n"
    "      --keep-order       with --increment, take the files in the order given\n"
    "      --from-name PAT    fields from each file's name without extension:\n"
    "                         %n track, %t title, %a artist, %A album, %y year,\n"
    "                         %% a percent sign; e.g. \"%n - %a - %t\"\n"
    "      --from-csv FILE    each file's fields from its row of a CSV table that\n"
    "                         show --csv wrote; only cells that differ from the\n"
    "                         file are written; the rows name the files\n"
    "      --truncate         cut values longer than their field at a character\n"
    "                         boundary instead of refusing them\n"
    "      --any-extension    also write files whose name does not end in .mp3\n"
    "      --keep-times       keep the modification time of files written\n"
    "  -n, --dry-run          show what would be written; touch no file\n"
    "  -r, --recursive        a folder stands for the .mp3 files beneath it\n"
    "  -q, --quiet            print failures only; a dry run still shows its plan\n"
    "      --json             one JSON object per file with its outcome\n"
    "      --no-journal       keep no undo record of this batch\n"
    "      --encoding CP      the tags' code page (see pelmix-cli --help)\n"
    "      --genres FILE      read the genre list from FILE\n";

// "  -t, --title T          title, 30 bytes"
std::string FieldHelpLine(const char* option, TagField field, const char* tail = "") {
  return std::string(option) + FieldOptionName(field) + ", " + std::to_string(StoredWidth(field, false)) + " bytes" +
         tail + "\n";
}

std::string StampHelp() {
  using enum TagField;
  const std::string trackNumbered = " (" + std::to_string(StoredWidth(Comment, /*trackShown=*/true)) +
                                    " with a track number)";
  return kStampHelpHead + FieldHelpLine("  -t, --title T          ", Title) +
         FieldHelpLine("  -a, --artist A         ", Artist) + FieldHelpLine("  -A, --album B          ", Album) +
         FieldHelpLine("  -y, --year Y           ", Year) +
         FieldHelpLine("  -c, --comment C        ", Comment, trackNumbered.c_str()) + kStampHelpRest;
}

constexpr char kStripHelp[] =
    "usage: pelmix-cli strip [OPTION]... FILE|DIR...\n"
    "Removes each file's tag trailer: the file becomes 128 bytes shorter.\n"
    "\n"
    "      --any-extension    also strip files whose name does not end in .mp3\n"
    "      --keep-times       keep the modification time of files stripped\n"
    "  -n, --dry-run          show what would be stripped; touch no file\n"
    "  -r, --recursive        a folder stands for the .mp3 files beneath it\n"
    "  -q, --quiet            print failures only; a dry run still shows its plan\n"
    "      --json             one JSON object per file with its outcome\n"
    "      --no-journal       keep no undo record of this batch\n";

constexpr char kUndoHelp[] =
    "usage: pelmix-cli undo [OPTION]... [ID]\n"
    "Takes back the newest batch not yet taken back, or batch ID: each file gets its old\n"
    "last 128 bytes back, but only while it is exactly as the batch left it; a file changed\n"
    "since is left alone and reported. An undo is a batch too: undo again to take it back.\n"
    "The journal keeps the last 50 batches (64 MiB at most) in $PELMIX_STATE_DIR, else\n"
    "$XDG_STATE_HOME/pelmix or ~/.local/state/pelmix (%LOCALAPPDATA%\\Pelmix on Windows).\n"
    "\n"
    "      --list             list the batches, newest first: id, time, files, command\n"
    "  -n, --dry-run          show what would be restored; touch no file\n"
    "  -q, --quiet            print failures only; a dry run still shows its plan\n"
    "      --json             one JSON object per file (per batch with --list)\n"
    "      --no-journal       keep no undo record of this undo\n";

constexpr char kRenameHelp[] =
    "usage: pelmix-cli rename --to PATTERN [OPTION]... FILE|DIR...\n"
    "Names each .mp3 file after its tag, in its own folder; the extension stays.\n"
    "%n track (zero-padded to the digits of the batch's largest; %2n to 2 digits),\n"
    "%t title, %a artist, %A album, %y year, %% a percent sign; e.g. \"%n - %t\".\n"
    "\\ / : * ? \" < > | and control characters become _, leading and trailing dots\n"
    "and spaces go, and CON, PRN, AUX, NUL, COM1-9, LPT1-9 get _ after them.\n"
    "Nothing is renamed when a file cannot be read or lacks a value the pattern needs,\n"
    "or two files would get one name, or a new name is taken; no file is replaced.\n"
    "\n"
    "      --to PATTERN       the new names, as above\n"
    "  -n, --dry-run          show each OLD -> NEW; rename nothing\n"
    "  -r, --recursive        a folder stands for the .mp3 files beneath it\n"
    "  -q, --quiet            print failures only; a dry run still shows its plan\n"
    "      --json             one JSON object per file with its outcome and new_path\n"
    "      --no-journal       keep no undo record of this batch\n"
    "      --encoding CP      the tags' code page (see pelmix-cli --help)\n";

constexpr char kGenresHelp[] =
    "usage: pelmix-cli genres [OPTION]...\n"
    "Prints the genre list, code and name, in the order of the window's list.\n"
    "\n"
    "      --encoding CP      the code page of the names (see pelmix-cli --help)\n"
    "      --genres FILE      read the genre list from FILE\n";

std::string HelpText(std::optional<Command> topic) {
  switch (topic.value_or(Command::Help)) {
    case Command::Show: return kShowHelp;
    case Command::Stamp: return StampHelp();
    case Command::Strip: return kStripHelp;
    case Command::Genres: return kGenresHelp;
    case Command::Undo: return kUndoHelp;
    case Command::Rename: return kRenameHelp;
    default: return kProgramHelp;
  }
}

// Only these need the genre names; a stamp by code or without a genre starts without them.
bool NeedsGenreNames(const Options& options) {
  switch (options.command) {
    case Command::Show:
    case Command::Genres: return true;
    case Command::Stamp: {
      if (options.dryRun || options.json || options.fromCsv) return true;
      const std::optional<std::string>& genre = options.Value(TagField::Genre);
      return genre && !genre->empty() && genre->find_first_not_of("0123456789") != std::string::npos;
    }
    default: return false;
  }
}

}  // namespace

int RunCli(std::vector<Argument> arguments, Console& console) {
  std::optional<Command> command;
  try {
    Options options = ParseOptions(std::move(arguments));
    // Only stamp, strip, rename and undo have work beyond what they print.
    if (options.command != Command::Stamp && options.command != Command::Strip && options.command != Command::Rename &&
        (options.command != Command::Undo || options.list)) {
      console.StopWhenOutputCloses();
    }
    switch (options.command) {
      case Command::Help: console.Out(HelpText(options.helpTopic)); return kExitOk;
      case Command::Version: console.Out("pelmix-cli " PELMIX_VERSION "\n"); return kExitOk;
      default: break;
    }
    command = options.command;
    GenreList genres;
    if (NeedsGenreNames(options) || options.genresFile) genres = LoadGenres(options.genresFile, ProgramDirectory());
    switch (options.command) {
      case Command::Show: return RunShow(std::move(options), genres, console);
      case Command::Stamp: return RunStamp(std::move(options), genres, console);
      case Command::Strip: return RunStrip(std::move(options), console);
      case Command::Undo: return RunUndo(std::move(options), console);
      case Command::Rename: return RunRename(std::move(options), console);
      default: assert(options.command == Command::Genres); return RunGenres(options, genres, console);
    }
  } catch (const UsageError& error) {
    if (error.command && *error.command != Command::Help) command = error.command;
    const std::string help = command ? std::string("pelmix-cli ") + CommandName(*command) + " --help"
                                     : "pelmix-cli --help";
    console.Err(std::string("pelmix-cli: ") + error.what() + "; try '" + help + "'\n");
    return kExitUsage;
  } catch (const JournalUnavailable& error) {
    console.Err(std::string("pelmix-cli: ") + error.what() + "\n");
    // As a usage error: the batch never started, so no file was touched.
    return kExitUsage;
  } catch (const std::exception& error) {
    console.Err(std::string("pelmix-cli: ") + error.what() + "\n");
    return kExitFileFailed;
  }
}

}  // namespace pelmix::cli
