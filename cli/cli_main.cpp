#include "cli/cli_main.h"

#include <exception>

#include "cli/genre_source.h"
#include "cli/show_command.h"
#include "cli/stamp_command.h"

namespace pelmix::cli {
namespace {

constexpr char kSynopsis[] =
    "usage: pelmix-cli show [--json] [-r] FILE|DIR...\n"
    "       pelmix-cli stamp [--title T] [--artist A] [--album B] [--year Y] [--comment C]\n"
    "                        [--track N] [--genre NAME|CODE] [--increment FIELD,...]\n"
    "                        [--dry-run] [-r] FILE|DIR...\n"
    "       pelmix-cli genres\n"
    "common options: [--encoding CODEPAGE] [--genres FILE] [--help] [--version]\n";

constexpr char kHelp[] =
    "\n"
    "Views and stamps the 128-byte tag trailer at the end of .mp3 files.\n"
    "\n"
    "show      print each file's tag: title, artist, album, year, comment, track, genre;\n"
    "          --json gives one JSON object per line\n"
    "stamp     write the given fields into every file, keeping each file's other fields;\n"
    "          --increment track,title,artist,album,comment counts those values up by one\n"
    "          after every file; --dry-run prints old and new values and writes nothing\n"
    "genres    print the genre list, code and name\n"
    "\n"
    "-r, --recursive     a folder stands for the .mp3 files beneath it, in natural order\n"
    "--encoding CP       the tags' code page: windows-1252 (default), windows-1250,\n"
    "                    windows-1251 or iso-8859-1\n"
    "--genres FILE       read the genre list from FILE instead of genre.txt\n"
    "\n"
    "Field widths in bytes: title, artist, album 30; year 4; comment 29, or 28 with a track\n"
    "number; track 1 to 255 (empty for none); --genre \"\" for none.\n"
    "Exit status: 0 all files done, 1 a file failed, 2 usage error.\n";

}  // namespace

int RunCli(std::vector<Argument> arguments, Console& console) {
  try {
    Options options = ParseOptions(std::move(arguments));
    switch (options.command) {
      case Command::Help: console.Out(std::string(kSynopsis) + kHelp); return kExitOk;
      case Command::Version: console.Out("pelmix-cli " PELMIX_VERSION "\n"); return kExitOk;
      default: break;
    }
    GenreList genres = LoadGenres(options.genresFile, ProgramDirectory());
    if (options.command == Command::Show) return RunShow(std::move(options), genres, console);
    if (options.command == Command::Stamp) return RunStamp(std::move(options), genres, console);
    return RunGenres(options, genres, console);
  } catch (const UsageError& error) {
    console.Err(std::string("pelmix-cli: ") + error.what() + "\n" + kSynopsis);
    return kExitUsage;
  } catch (const std::exception& error) {
    console.Err(std::string("pelmix-cli: ") + error.what() + "\n");
    return kExitFileFailed;
  }
}

}  // namespace pelmix::cli
