// The built program on temporary files: what it prints, its exit status, the bytes on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "cli/text_display.h"
#include "tests/cli/run_program.h"
#include "tests/support/file_sets.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

// Writable for the unprivileged run as well (see RunPelmixCli).
void MakeWritable(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
}

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<fs::path>& files) {
  for (const fs::path& file : files) arguments.push_back(Utf8(file));
  return arguments;
}

// Whether the program, run as RunPelmixCli runs it, is refused writing a read-only file. Wine
// run as root lets every write through.
bool ReadOnlyBinds(const fs::path& path) {
#ifdef _WIN32
  std::fstream probe(path, std::ios::in | std::ios::out | std::ios::binary);
  return !probe.is_open();
#else
  (void)path;
  return true;
#endif
}

std::string JsonPath(const fs::path& path) { return cli::JsonString(Utf8(path)); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char b : bytes) {
    hex += "0123456789abcdef"[b >> 4];
    hex += "0123456789abcdef"[b & 15];
  }
  return hex;
}

TEST(EndToEndTest, ShowReadsEveryKindOfFile) {
  TempDir dir;
  struct Case {
    const char* name;
    Bytes bytes;
    const char* json;  // after {"path":"<name>",
  };
  const Case cases[] = {
      {"tagged.mp3", Concat(Audio(300), TagBytes("Intro", "Band", "First", "1999", "Hello", 2, 17)),
       R"("has_tag":true,"title":"Intro","artist":"Band","album":"First","year":"1999","comment":"Hello",)"
       R"("track":2,"genre_code":17,"genre_name":"Rock"})"},
      {"latin.mp3", Concat(Audio(200), TagBytes("Caf\xE9 \x80", "", "", "", "", 0, 254)),
       R"("has_tag":true,"title":"Café €","artist":"","album":"","year":"","comment":"","track":null,)"
       R"("genre_code":254,"genre_name":null})"},
      {"untagged.mp3", Audio(500), R"("has_tag":false})"},
      {"empty.mp3", {}, R"("has_tag":false})"},
      {"only-trailer.mp3", TagBytes("Alone", "", "", "", ""), R"("has_tag":false})"},
      {"read-only.mp3", Concat(Audio(10), TagBytes("Locked", "", "", "", "")),
       R"("has_tag":true,"title":"Locked","artist":"","album":"","year":"","comment":"","track":null,)"
       R"j("genre_code":255,"genre_name":"(none)"})j"},
  };
  std::vector<fs::path> files;
  for (const Case& c : cases) {
    WriteFile(dir / c.name, c.bytes);
    files.push_back(dir / c.name);
  }
  MakeReadOnly(dir / "read-only.mp3");

  const ProgramRun run = RunPelmixCli(With({"show", "--json"}, files));
  EXPECT_EQ(run.status, 0) << run.err;
  std::string expected;
  for (const Case& c : cases) expected += "{\"path\":" + JsonPath(dir / c.name) + "," + c.json + "\n";
  EXPECT_EQ(run.out, expected);

  const ProgramRun text = RunPelmixCli(With({"show"}, {dir / "tagged.mp3", dir / "untagged.mp3"}));
  EXPECT_EQ(text.out, Utf8(dir / "tagged.mp3") +
                          "\n  Title:   Intro\n  Artist:  Band\n  Album:   First\n  Year:    1999\n"
                          "  Comment: Hello\n  Track:   2\n  Genre:   Rock (17)\n" +
                          Utf8(dir / "untagged.mp3") + ": no tag\n");

  const ProgramRun missing = RunPelmixCli(With({"show"}, {dir / "tagged.mp3", dir / "missing.mp3"}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "pelmix-cli: " + Utf8(dir / "missing.mp3") + ": not read: not found\n");
}

TEST(EndToEndTest, StampCountsTheTrackUpAcrossABatchAndShowReadsItBack) {
  TempDir dir;
  const Bytes audio = Audio(400);
  const std::vector<fs::path> files = {dir / "a.mp3", dir / "b.mp3", dir / "c.mp3"};
  WriteFile(files[0], Concat(audio, TagBytes("Old A", "Someone", "", "", "Keep me", 9, 17)));
  WriteFile(files[1], audio);
  WriteFile(files[2], Concat(audio, TagBytes("Old C", "", "", "", "")));

  const ProgramRun run = RunPelmixCli(
      With({"stamp", "--artist", "Zo\xC3\xAB", "--track", "1", "--increment", "track", "--genre", "blues"}, files));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8(files[0]) + ": written in place\n" + Utf8(files[1]) + ": appended\n" + Utf8(files[2]) +
                         ": written in place\n");
  EXPECT_EQ(ReadFile(files[0]), Concat(audio, TagBytes("Old A", "Zo\xEB", "", "", "Keep me", 1, 0)));
  EXPECT_EQ(ReadFile(files[1]), Concat(audio, TagBytes("", "Zo\xEB", "", "", "", 2, 0)));
  EXPECT_EQ(ReadFile(files[2]), Concat(audio, TagBytes("Old C", "Zo\xEB", "", "", "", 3, 0)));

  const ProgramRun shown = RunPelmixCli(With({"show", "--json"}, {files[1]}));
  EXPECT_EQ(shown.out, "{\"path\":" + JsonPath(files[1]) +
                           ",\"has_tag\":true,\"title\":\"\",\"artist\":\"Zoë\",\"album\":\"\",\"year\":\"\","
                           "\"comment\":\"\",\"track\":2,\"genre_code\":0,\"genre_name\":\"Blues\"}\n");
}

TEST(EndToEndTest, RecursiveStampTakesFilesInNaturalOrder) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  for (const char* name : {"10 Outro.mp3", "2 Intro.mp3", "sub/1 Hidden.MP3", "notes.txt"}) {
    WriteFile(dir / name, Audio(200));
  }
  const ProgramRun run = RunPelmixCli({"stamp", "-r", "--track", "1", "--increment", "track", Utf8(dir.path())});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "2 Intro.mp3"), Concat(Audio(200), TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(dir / "10 Outro.mp3"), Concat(Audio(200), TagBytes("", "", "", "", "", 2, 255)));
  EXPECT_EQ(ReadFile(dir / "sub/1 Hidden.MP3"), Concat(Audio(200), TagBytes("", "", "", "", "", 3, 255)));
  EXPECT_EQ(ReadFile(dir / "notes.txt"), Audio(200));
}

TEST(EndToEndTest, DryRunShowsOldAndNewValuesAndTouchesNothing) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "a.mp3", dir / "b.mp3"};
  WriteFile(files[0], Concat(Audio(300), TagBytes("Part 9", "", "", "", "", 4)));
  WriteFile(files[1], Audio(300));
  // Set, then read back: the file system keeps the time at its own precision.
  std::vector<fs::file_time_type> times;
  for (const fs::path& file : files) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    times.push_back(fs::last_write_time(file));
  }

  const ProgramRun run = RunPelmixCli(
      With({"stamp", "--dry-run", "--title", "Part 9", "--increment", "title", "--track", "5", "--increment", "track"},
           files));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8(files[0]) + ": would write in place\n  title: \"Part 9\" -> \"Part 9\"\n  track: 4 -> 5\n" +
                         Utf8(files[1]) + ": would append\n  title: \"\" -> \"Part 10\"\n  track: none -> 6\n");
  EXPECT_EQ(ReadFile(files[0]), Concat(Audio(300), TagBytes("Part 9", "", "", "", "", 4)));
  EXPECT_EQ(ReadFile(files[1]), Audio(300));
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(fs::last_write_time(files[i]), times[i]);
}

TEST(EndToEndTest, BadValuesAreRefusedBeforeAnyFileChanges) {
  TempDir dir;
  const fs::path file = dir / "a.mp3";
  const Bytes before = Concat(Audio(100), TagBytes("Title", "", "", "", ""));
  WriteFile(file, before);
  const fs::path genres = dir / "genres.txt";
  WriteFile(genres, Bytes{'3', '0', '0', ' ', 'B', 'i', 'g', '\n'});
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{"--title", "Caf\xC3\xA9 \xCE\xA9"}, "--title: the character \"\xCE\xA9\" (U+03A9) cannot be stored"},
      {{"--title", "\xE2\x82\xAC", "--encoding", "iso-8859-1"}, "(U+20AC) cannot be stored in ISO-8859-1"},
      {{"--album", std::string(31, 'a')}, "--album: longer than its 30 bytes"},
      {{"--comment", std::string(29, 'c'), "--track", "2"},
       "--comment: longer than its 28 bytes (the track number takes the 29th)"},
      {{"--track", "0"}, "--track: a track number is 1 to 255, or empty for none"},
      {{"--genre", "300"}, "--genre: a genre code is 0 to 255"},
      {{"--genre", "big", "--genres", Utf8(genres)}, "--genre: \"big\" has code 300, which a tag cannot hold"},
      {{"--genre", "Polka Dub"}, "unknown genre"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"stamp", "--artist", "Fine"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.push_back(Utf8(file));
    const ProgramRun run = RunPelmixCli(arguments);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
    // One line, pointing to the command's help.
    EXPECT_TRUE(run.err.ends_with("; try 'pelmix-cli stamp --help'\n")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(file), before);
  }
}

TEST(EndToEndTest, AFileThatCannotBeReadIsReportedAndUsesUpNoNumber) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "1.mp3", dir / "missing.mp3", dir / "folder.mp3", dir / "4.mp3"};
  WriteFile(files[0], Audio(150));
  fs::create_directory(files[2]);
  WriteFile(files[3], Audio(150));

  const ProgramRun run = RunPelmixCli(With({"stamp", "--track", "1", "--increment", "track", "--keep-order"}, files));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out, Utf8(files[0]) + ": appended\n" + Utf8(files[3]) + ": appended\n");
  EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(files[1]) + ": not written: not found\npelmix-cli: " + Utf8(files[2]) +
                         ": not written: is a folder (use -r to walk it)\n");
  EXPECT_EQ(ReadFile(files[0]), Concat(Audio(150), TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(files[3]), Concat(Audio(150), TagBytes("", "", "", "", "", 2, 255)));

  // A folder of any name wants -r, whatever the command.
  fs::create_directory(dir / "music");
  for (const std::vector<std::string>& command : {std::vector<std::string>{"stamp", "-T", "1"}, {"strip"}}) {
    const ProgramRun folder = RunPelmixCli(With(command, {dir / "music"}));
    EXPECT_EQ(folder.status, 1) << command[0];
    EXPECT_TRUE(Contains(folder.err, Utf8(dir / "music") + ": not ")) << folder.err;
    EXPECT_TRUE(Contains(folder.err, ": is a folder (use -r to walk it)\n")) << folder.err;
  }
}

TEST(EndToEndTest, AReadOnlyFileIsReportedAndUsesUpItsNumber) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "1.mp3", dir / "2 locked.mp3", dir / "3.mp3"};
  for (const fs::path& file : files) {
    WriteFile(file, Audio(150));
    MakeWritable(file);
  }
  MakeReadOnly(files[1]);
  if (!ReadOnlyBinds(files[1])) GTEST_SKIP() << "this system lets the test write read-only files";

  // A dry run tells the same story, and touches nothing.
  const ProgramRun dry = RunPelmixCli(With({"stamp", "--dry-run", "--track", "1", "--increment", "track"}, files),
                                      true);
  EXPECT_EQ(dry.status, 1) << dry.err;
  EXPECT_EQ(dry.err, "pelmix-cli: " + Utf8(files[1]) + ": not written: permission denied\n");
  for (const fs::path& file : files) EXPECT_EQ(ReadFile(file), Audio(150));

  const ProgramRun run = RunPelmixCli(With({"stamp", "--track", "1", "--increment", "track"}, files), true);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out, Utf8(files[0]) + ": appended\n" + Utf8(files[2]) + ": appended\n");
  EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(files[1]) + ": not written: permission denied\n");
  // Counting up comes before the write, as in the window: the locked file's number is gone.
  EXPECT_EQ(ReadFile(files[0]), Concat(Audio(150), TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(files[1]), Audio(150));
  EXPECT_EQ(ReadFile(files[2]), Concat(Audio(150), TagBytes("", "", "", "", "", 3, 255)));
}

TEST(EndToEndTest, ABatchWhoseTrackWouldPass255IsRefusedWhole) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "a.mp3", dir / "b.mp3", dir / "c.mp3"};
  WriteFile(files[0], Concat(Audio(200), TagBytes("Keep", "", "", "", "", 3, 17)));
  WriteFile(files[1], Audio(200));
  WriteFile(files[2], Audio(200));
  for (const char* dry : {"--dry-run", "--keep-order"}) {
    const ProgramRun run = RunPelmixCli(With({"stamp", dry, "--track", "254", "--increment", "track"}, files));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pelmix-cli: --increment track: " + Utf8(files[2]) +
                           " would get track 256, more than 255; nothing written; try 'pelmix-cli stamp --help'\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadFile(files[0]), Concat(Audio(200), TagBytes("Keep", "", "", "", "", 3, 17)));
  EXPECT_EQ(ReadFile(files[1]), Audio(200));
  EXPECT_EQ(ReadFile(files[2]), Audio(200));
  // Up to 255 is fine.
  EXPECT_EQ(RunPelmixCli(With({"stamp", "--track", "253", "--increment", "track"}, files)).status, 0);
  EXPECT_EQ(ReadFile(files[2]), Concat(Audio(200), TagBytes("", "", "", "", "", 255, 255)));
}

// What each file gets is what was given, or the file is not written: a comment given whole
// is not cut for a track number the file shows, and the one warning left is for a file too
// short to be read back as tagged.
TEST(EndToEndTest, AValueAFileCannotTakeWholeLeavesThatFileAlone) {
  TempDir dir;
  const std::string comment(29, 'c');
  const Bytes hasTrack = Concat(Audio(200), TagBytes("", "", "", "", "", 4, 255));
  WriteFile(dir / "has-track.mp3", hasTrack);
  WriteFile(dir / "no-track.mp3", Audio(200));
  const ProgramRun run = RunPelmixCli(
      With({"stamp", "--comment", comment}, {dir / "has-track.mp3", dir / "no-track.mp3"}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(dir / "has-track.mp3") + ": not written: comment \"" + comment +
                         "\" is longer than the 28 bytes it keeps with the file's track number\n");
  EXPECT_EQ(ReadFile(dir / "has-track.mp3"), hasTrack);
  EXPECT_EQ(ReadFile(dir / "no-track.mp3"), Concat(Audio(200), TagBytes("", "", "", "", comment, 0, 255)));

  WriteFile(dir / "empty.mp3", Bytes{});
  const ProgramRun empty = RunPelmixCli(With({"stamp", "--title", "Alone"}, {dir / "empty.mp3"}));
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.err, "pelmix-cli: warning: " + Utf8(dir / "empty.mp3") +
                           ": the file was empty; a file of 128 bytes or fewer is never read as tagged, so this tag "
                           "will not be read back\n");
  EXPECT_EQ(ReadFile(dir / "empty.mp3"), TagBytes("Alone", "", "", "", ""));
}

// Values that count up or come from names are checked for every file before the first is
// written: a batch that cannot be written whole writes nothing (exit 2) and names the file.
TEST(EndToEndTest, ABatchThatCannotBeWrittenWholeWritesNothing) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "01 - a.mp3", dir / "02 - b.mp3", dir / "03 - c.mp3"};
  for (const fs::path& file : files) WriteFile(file, Audio(100));
  struct Case {
    std::vector<std::string> arguments;
    std::string message;  // after "pelmix-cli: "
  };
  const Case cases[] = {
      {{"-t", "Thirty characters long exact 9", "--increment", "title"},
       "--increment title: " + Utf8(files[1]) +
           " would get title \"Thirty characters long exact 10\", longer than its 30 bytes; nothing written"},
      {{"-c", std::string(29, 'c'), "--from-name", "%n - %t"},
       "--comment: " + Utf8(files[0]) +
           " would get a track number, and with one the comment keeps 28 of its 29 bytes; nothing written"},
      {{"--from-name", "%n - %t", "--encoding", "iso-8859-1", "-a", "\xE2\x82\xAC"},
       "--artist: the character \"\xE2\x82\xAC\" (U+20AC) cannot be stored in ISO-8859-1; see --encoding"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"stamp"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProgramRun run = RunPelmixCli(With(arguments, files));
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, "pelmix-cli: " + c.message + "; try 'pelmix-cli stamp --help'\n");
    EXPECT_EQ(run.out, "");
    for (const fs::path& file : files) EXPECT_EQ(ReadFile(file), Audio(100)) << c.message;
  }
}

// A file is one file however it is named: stamped once, numbered once, the repeat reported.
TEST(EndToEndTest, TheSameFileUnderSeveralNamesIsStampedOnce) {
  TempDir dir;
  const fs::path a = dir / "a.mp3";
  WriteFile(a, Audio(100));
  WriteFile(dir / "b.mp3", Audio(100));
  const ProgramRun run = RunPelmixCli(
      With({"stamp", "-T", "1", "--increment", "track", "--keep-order"}, {a, a, dir / "." / "a.mp3", dir / "b.mp3"}));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string repeat = ": done once: the same file came earlier in the batch\n";
  EXPECT_EQ(run.out, Utf8(a) + ": appended\n" + Utf8(a) + repeat + Utf8(dir / "." / "a.mp3") + repeat +
                         Utf8(dir / "b.mp3") + ": appended\n");
  EXPECT_EQ(ReadFile(a), Concat(Audio(100), TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(dir / "b.mp3"), Concat(Audio(100), TagBytes("", "", "", "", "", 2, 255)));
}

TEST(EndToEndTest, UsageErrorsAndHelp) {
  const ProgramRun none = RunPelmixCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "pelmix-cli: no command given; try 'pelmix-cli --help'\n");
  const ProgramRun help = RunPelmixCli({"--help"});
  EXPECT_EQ(help.status, 0);
  // The words apropos and a search look for, on the first line.
  EXPECT_TRUE(
      help.out.starts_with("pelmix-cli: shows, stamps and strips the ID3v1 and ID3v1.1 tags of MP3 "
                           "files.\nusage: pelmix-cli COMMAND"))
      << help.out;
  const ProgramRun stampHelp = RunPelmixCli({"stamp", "-h"});
  EXPECT_TRUE(stampHelp.out.starts_with("usage: pelmix-cli stamp [OPTION]... FILE|DIR...\n")) << stampHelp.out;
  // The widths in the help are built from the layout table; the text stays as the man page has it.
  EXPECT_TRUE(Contains(stampHelp.out,
                       "  -t, --title T          title, 30 bytes\n"
                       "  -a, --artist A         artist, 30 bytes\n"
                       "  -A, --album B          album, 30 bytes\n"
                       "  -y, --year Y           year, 4 bytes\n"
                       "  -c, --comment C        comment, 29 bytes (28 with a track number)\n"
                       "  -T, --track N"))
      << stampHelp.out;
  EXPECT_EQ(RunPelmixCli({"-V"}).out, "pelmix-cli " PELMIX_VERSION "\n");
  const ProgramRun bad = RunPelmixCli({"strip", "--title=x", "a.mp3"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "pelmix-cli: --title does not go with strip; try 'pelmix-cli strip --help'\n");
  // A value that would steer the terminal is shown escaped.
  const ProgramRun hostile = RunPelmixCli({"stamp", "-g", "\x1B[2J", "a.mp3"});
  EXPECT_EQ(hostile.err,
            "pelmix-cli: --genre: unknown genre \"\\x1B[2J\" (see pelmix-cli genres); try 'pelmix-cli stamp "
            "--help'\n");
  const ProgramRun genres = RunPelmixCli({"genres"});
  EXPECT_EQ(genres.status, 0);
  EXPECT_TRUE(Contains(genres.out, " 17 Rock\n")) << genres.out;
  EXPECT_TRUE(Contains(genres.out, "255 (none)\n")) << genres.out;
}

TEST(EndToEndTest, TheNoneGenreClearsAGenre) {
  TempDir dir;
  const fs::path file = dir / "rock.mp3";
  WriteFile(file, Concat(Audio(200), TagBytes("Song", "", "", "", "", 3, 17)));
  const ProgramRun run = RunPelmixCli({"stamp", "--genre", "(NONE)", Utf8(file)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(file), Concat(Audio(200), TagBytes("Song", "", "", "", "", 3, 255)));
  const ProgramRun shown = RunPelmixCli({"show", Utf8(file)});
  // 255 shows as none, whatever the list calls it.
  EXPECT_TRUE(Contains(shown.out, "  Genre:   none\n")) << shown.out;
}

TEST(EndToEndTest, CountingFollowsNaturalOrderUnlessKeepOrder) {
  TempDir dir;
  // As a shell's glob gives them: byte order.
  const std::vector<fs::path> files = {dir / "Track 1.mp3", dir / "Track 10.mp3", dir / "Track 2.mp3"};
  struct Case {
    const char* order;
    std::uint8_t tracks[3];
  };
  const Case cases[] = {{"", {1, 3, 2}}, {"--keep-order", {1, 2, 3}}};
  for (const Case& c : cases) {
    for (const fs::path& file : files) WriteFile(file, Audio(200));
    std::vector<std::string> arguments = {"stamp", "-T1", "--increment=track"};
    if (*c.order) arguments.push_back(c.order);
    const ProgramRun run = RunPelmixCli(With(arguments, files));
    EXPECT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(ReadFile(files[i]), Concat(Audio(200), TagBytes("", "", "", "", "", c.tracks[i], 255)))
          << c.order << " " << i;
    }
  }
  // The dry run shows the order and the numbers; the files hold 1, 2, 3 in the order given.
  const ProgramRun dry = RunPelmixCli(With({"stamp", "-nT1", "--increment", "track"}, files));
  EXPECT_EQ(dry.out, Utf8(files[0]) + ": unchanged\n  track: 1 -> 1\n" + Utf8(files[2]) +
                         ": would write in place\n  track: 3 -> 2\n" + Utf8(files[1]) +
                         ": would write in place\n  track: 2 -> 3\n");
}

TEST(EndToEndTest, OnlyMp3NamesAreTouchedUnlessAnyExtension) {
  TempDir dir;
  const fs::path picture = dir / "cover.jpg";
  const fs::path song = dir / "a.MP3";
  const Bytes jpeg = Audio(300);
  struct Case {
    std::vector<std::string> command;
    const char* refusal;
  };
  const Case cases[] = {
      {{"stamp", "-t", "X"}, ": not written: not an .mp3 file (--any-extension writes it)\n"},
      {{"strip"}, ": not stripped: not an .mp3 file (--any-extension strips it)\n"},
  };
  for (const Case& c : cases) {
    WriteFile(picture, Concat(jpeg, TagBytes("Old")));
    WriteFile(song, Concat(Audio(300), TagBytes("Old")));
    const ProgramRun run = RunPelmixCli(With(c.command, {picture, song}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(picture) + c.refusal);
    EXPECT_EQ(ReadFile(picture), Concat(jpeg, TagBytes("Old")));
    EXPECT_NE(ReadFile(song), Concat(Audio(300), TagBytes("Old")));
  }
  WriteFile(picture, jpeg);
  const ProgramRun any = RunPelmixCli(With({"stamp", "-t", "X", "--any-extension"}, {picture}));
  EXPECT_EQ(any.status, 0) << any.err;
  EXPECT_EQ(ReadFile(picture), Concat(jpeg, TagBytes("X")));
}

TEST(EndToEndTest, AStampThatChangesNothingWritesNothingAndKeepTimesKeepsTheTime) {
  TempDir dir;
  const fs::path file = dir / "a.mp3";
  WriteFile(file, Concat(Audio(300), TagBytes("Same", "", "", "", "", 4, 17)));
  const auto backdate = [&file] {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return fs::last_write_time(file);
  };
  struct Case {
    std::vector<std::string> arguments;
    const char* outcome;
    bool timeKept;
    Bytes after;
  };
  const Case cases[] = {
      {{"-t", "Same", "-T", "4", "-g", "17"},
       "unchanged",
       true,
       Concat(Audio(300), TagBytes("Same", "", "", "", "", 4, 17))},
      {{"-t", "New", "--keep-times"},
       "written in place",
       true,
       Concat(Audio(300), TagBytes("New", "", "", "", "", 4, 17))},
      {{"-t", "Newer"}, "written in place", false, Concat(Audio(300), TagBytes("Newer", "", "", "", "", 4, 17))},
  };
  for (const Case& c : cases) {
    const fs::file_time_type before = backdate();
    std::vector<std::string> arguments = {"stamp"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProgramRun run = RunPelmixCli(With(arguments, {file}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Utf8(file) + ": " + c.outcome + "\n");
    EXPECT_EQ(fs::last_write_time(file) == before, c.timeKept) << c.outcome;
    EXPECT_EQ(ReadFile(file), c.after);
  }
}

// Only its owner may set a file's time: another user who may write the file is refused it
// before the write, since the time would otherwise be lost with the file changed.
TEST(EndToEndTest, KeepTimesWritesNoFileWhoseTimeCannotBeSet) {
#ifdef _WIN32
  GTEST_SKIP() << "a handle that may write a file may also set its time";
#else
  if (geteuid() != 0) GTEST_SKIP() << "the run of another user needs root";
  TempDir dir;
  const fs::path file = dir / "theirs.mp3";
  const Bytes before = Concat(Audio(300), TagBytes("Old"));
  WriteFile(file, before);
  MakeWritable(file);
  const struct {
    std::vector<std::string> arguments;
    const char* what;
  } cases[] = {{{"stamp", "--keep-times", "-t", "New"}, "written"}, {{"strip", "--keep-times"}, "stripped"}};
  for (const auto& c : cases) {
    const ProgramRun run = RunPelmixCli(With(c.arguments, {file}), true);
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(file) + ": not " + c.what +
                           ": its modification time could not be kept (--keep-times): permission denied\n");
    EXPECT_EQ(ReadFile(file), before);
  }
#endif
}

TEST(EndToEndTest, StripCutsExactlyTheTag) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "tagged.mp3", dir / "untagged.mp3", dir / "short.mp3"};
  const Bytes tagged = Concat(Audio(500), TagBytes("Gone", "Band"));
  WriteFile(files[0], tagged);
  WriteFile(files[1], Audio(500));
  WriteFile(files[2], TagBytes("Alone"));  // 128 bytes: never read as tagged

  const ProgramRun dry = RunPelmixCli(With({"strip", "-n"}, files));
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out,
            Utf8(files[0]) + ": would strip\n" + Utf8(files[1]) + ": unchanged\n" + Utf8(files[2]) + ": unchanged\n");
  EXPECT_EQ(ReadFile(files[0]), tagged);

  const ProgramRun run = RunPelmixCli(With({"strip"}, files));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            Utf8(files[0]) + ": stripped\n" + Utf8(files[1]) + ": unchanged\n" + Utf8(files[2]) + ": unchanged\n");
  EXPECT_EQ(ReadFile(files[0]), Audio(500));
  EXPECT_EQ(ReadFile(files[1]), Audio(500));
  EXPECT_EQ(ReadFile(files[2]), TagBytes("Alone"));
}

TEST(EndToEndTest, FieldsFromTheFileName) {
  TempDir dir;
  struct Case {
    const char* pattern;
    const char* name;
    std::vector<std::string> more;
    Bytes trailer;  // empty: refused
  };
  const Case cases[] = {
      {"%n - %a - %t", "03 - Band - Song.mp3", {}, TagBytes("Song", "Band", "", "", "", 3)},
      {"%n. %t", "12. Intro.mp3", {"-a", "Given"}, TagBytes("Intro", "Given", "", "", "", 12)},
      {"%a - %A (%y) - %t",
       "Band - First (1999) - Last.mp3",
       {"-t", "Wins"},
       TagBytes("Wins", "Band", "First", "1999")},
      {"%n - %t", "cover art.mp3", {}, {}},
      {"%n - %t", "300 - Too far.mp3", {}, {}},
  };
  for (const Case& c : cases) {
    const fs::path file = dir / c.name;
    WriteFile(file, Audio(200));
    std::vector<std::string> arguments = {"stamp", "--from-name", c.pattern};
    arguments.insert(arguments.end(), c.more.begin(), c.more.end());
    const ProgramRun run = RunPelmixCli(With(arguments, {file}));
    if (c.trailer.empty()) {
      EXPECT_EQ(run.status, 2) << c.name;
      EXPECT_TRUE(Contains(run.err, "pelmix-cli: --from-name: " + Utf8(file) + ": ")) << run.err;
      EXPECT_EQ(ReadFile(file), Audio(200));
    } else {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(ReadFile(file), Concat(Audio(200), c.trailer)) << c.name;
    }
  }
  const ProgramRun odd = RunPelmixCli(With({"stamp", "--from-name", "%n - %t"}, {dir / "cover art.mp3"}));
  EXPECT_EQ(odd.err, "pelmix-cli: --from-name: " + Utf8(dir / "cover art.mp3") +
                         ": the name does not match --from-name \"%n - %t\"; nothing written; try 'pelmix-cli stamp "
                         "--help'\n");
  const ProgramRun far = RunPelmixCli(With({"stamp", "--from-name", "%n - %t"}, {dir / "300 - Too far.mp3"}));
  EXPECT_TRUE(Contains(far.err, ": track 300 from the name is not 1 to 255; nothing written")) << far.err;
}

// A title longer than its field is cut on request, never inside a character: in UTF-8 the
// last letter, two bytes past the 29th, goes whole; in windows-1251 the same title fits.
// Without --truncate the refusal stays.
TEST(EndToEndTest, TruncateCutsLongValuesAtACharacterBoundary) {
  TempDir dir;
  struct Case {
    const char* encoding;
    std::string stored;
    std::string shown;  // the title as the dry run shows it
    bool cut;
  };
  // "13 - " and a Russian title of 31 bytes in UTF-8, 17 in windows-1251.
  const std::string name =
      "13 - \xD0\x9C\xD1\x8B \xD0\xB6\xD0\xB4\xD1\x91\xD0\xBC \xD0\xBF\xD0\xB5\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD "
      "\xD0\xB2";
  const std::string kept =
      "\xD0\x9C\xD1\x8B \xD0\xB6\xD0\xB4\xD1\x91\xD0\xBC \xD0\xBF\xD0\xB5\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD ";
  const Case cases[] = {
      {"utf-8", kept, kept, true},
      {"windows-1251", "\xCC\xFB \xE6\xE4\xB8\xEC \xEF\xE5\xF0\xE5\xEC\xE5\xED \xE2", name.substr(5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    const fs::path named = dir.path() / PathFromUtf8(name + ".mp3");
    WriteFile(named, Audio(200));
    const std::vector<std::string> stamp = {"stamp", "--encoding", c.encoding, "--from-name", "%n - %t"};
    if (c.cut) {
      const ProgramRun refused = RunPelmixCli(With(stamp, {named}));
      EXPECT_EQ(refused.status, 2);
      EXPECT_EQ(refused.err, "pelmix-cli: --from-name: " + Utf8(named) + ": title \"" + name.substr(5) +
                                 "\" from the name is longer than its 30 bytes; nothing written; try 'pelmix-cli "
                                 "stamp --help'\n");
    }
    std::vector<std::string> dryRun = stamp;
    dryRun.insert(dryRun.end(), {"--truncate", "-n"});
    const ProgramRun dry = RunPelmixCli(With(dryRun, {named}));
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, Utf8(named) + ": would append" + (c.cut ? "; cut to fit: title" : "") + "\n  title: \"\" -> \"" +
                           c.shown + "\"\n  track: none -> 13\n");
    std::vector<std::string> json = stamp;
    json.insert(json.end(), {"--truncate", "--json"});
    const ProgramRun run = RunPelmixCli(With(json, {named}));
    EXPECT_EQ(run.out, "{\"path\":" + JsonPath(named) + ",\"outcome\":\"appended\"" +
                           (c.cut ? ",\"cut\":[\"title\"]" : "") + "}\n");
    EXPECT_EQ(ReadFile(named), Concat(Audio(200), TagBytes(c.stored, "", "", "", "", 13)));
    fs::remove(named);
  }
}

// show --csv, one cell edited as a spreadsheet would, stamp --from-csv: that field of that
// file is all that changes. Names and tags carry what CSV must quote, and what a
// spreadsheet would run; a field keeps its bytes after its first zero byte.
TEST(EndToEndTest, ASpreadsheetRoundTripChangesExactlyTheEditedCell) {
  TempDir dir;
  const std::string folder = Utf8(dir.path());
#ifdef _WIN32
  // Windows names hold no quote or line break.
  const std::vector<fs::path> files = {dir / "1, first.mp3", dir / "2 second.mp3", dir / "3.mp3"};
  const std::string cells[] = {"\"" + folder + "\\1, first.mp3\"", folder + "\\2 second.mp3", folder + "\\3.mp3"};
  const std::string shown[] = {Utf8(files[0]), Utf8(files[1]), Utf8(files[2])};
#else
  const std::vector<fs::path> files = {dir / "1, \"first\".mp3", dir / "2\nsecond.mp3", dir / "3.mp3"};
  const std::string cells[] = {"\"" + folder + "/1, \"\"first\"\".mp3\"", "\"" + folder + "/2\nsecond.mp3\"",
                               folder + "/3.mp3"};
  const std::string shown[] = {Utf8(files[0]), folder + "/2\\x0Asecond.mp3", Utf8(files[2])};
#endif
  const std::vector<Bytes> before = {
      Concat(Audio(200), TagBytes("=1+1", "Band", "First", "1999", "\x1B[2J", 1, 17)),
      Concat(Audio(200), TagBytes(std::string_view("Intro\0junk", 10), "Band", "First", "1999", "Hi", 2)),
      Bytes{},  // empty: no tag, and none given to it
  };
  for (std::size_t i = 0; i < files.size(); ++i) WriteFile(files[i], before[i]);

  const ProgramRun show = RunPelmixCli(With({"show", "--csv"}, files));
  EXPECT_EQ(show.status, 0) << show.err;
  const std::string table = "path,title,artist,album,year,comment,track,genre\r\n" + cells[0] +
                            ",'=1+1,Band,First,1999,\x1B[2J,1,Rock\r\n" + cells[1] +
                            ",Intro,Band,First,1999,Hi,2,\r\n" + cells[2] + ",,,,,,,\r\n";
  ASSERT_EQ(show.out, table);

  std::string edited = table;
  edited.replace(edited.find("Band,First,1999,Hi"), 18, "Band,Second,1999,Hi");
  const fs::path csv = dir / "tags.csv";
  WriteFile(csv, std::string_view(edited));
  const ProgramRun dry = RunPelmixCli({"stamp", "-n", "--from-csv", Utf8(csv)});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out, shown[0] + ": unchanged\n" + shown[1] +
                         ": would write in place\n  album: \"First\" -> \"Second\"\n" + shown[2] + ": unchanged\n");
  const ProgramRun run = RunPelmixCli({"stamp", "--from-csv", Utf8(csv)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, shown[0] + ": unchanged\n" + shown[1] + ": written in place\n" + shown[2] + ": unchanged\n");
  EXPECT_EQ(run.err, "");

  EXPECT_EQ(ReadFile(files[0]), before[0]);
  EXPECT_EQ(ReadFile(files[1]),
            Concat(Audio(200), TagBytes(std::string_view("Intro\0junk", 10), "Band", "Second", "1999", "Hi", 2)));
  EXPECT_EQ(ReadFile(files[2]), before[2]);
}

// A list of one's own may hold a name twice, or in two letter cases: each file's genre still
// goes into the table as a cell that reads back to its own code, and a name typed exactly as
// listed is that entry.
TEST(EndToEndTest, AGenreNameTheListHoldsTwiceReadsBackToItsOwnCode) {
  TempDir dir;
  const fs::path list = dir / "genres.txt";
  WriteFile(list, std::string_view("17 Rock\n80 rock\n81 Rock\n"));
  const std::pair<std::uint8_t, const char*> cases[] = {{17, "Rock"}, {80, "rock"}, {81, "81"}};
  std::vector<fs::path> files;
  std::string table = "path,title,artist,album,year,comment,track,genre\r\n";
  std::string unchanged;
  for (const auto& [code, cell] : cases) {
    files.push_back(dir / (std::to_string(code) + ".mp3"));
    WriteFile(files.back(), Concat(Audio(200), TagBytes("T", "", "", "", "", 0, code)));
    table += Utf8(files.back()) + ",T,,,,,," + cell + "\r\n";
    unchanged += Utf8(files.back()) + ": unchanged\n";
  }
  ASSERT_EQ(RunPelmixCli(With({"show", "--csv", "--genres", Utf8(list)}, files)).out, table);
  WriteFile(dir / "tags.csv", std::string_view(table));
  EXPECT_EQ(RunPelmixCli({"stamp", "--from-csv", Utf8(dir / "tags.csv"), "--genres", Utf8(list)}).out, unchanged);
  ASSERT_EQ(RunPelmixCli({"stamp", "-g", "rock", "--genres", Utf8(list), Utf8(files[0])}).status, 0);
  EXPECT_EQ(ReadFile(files[0]), Concat(Audio(200), TagBytes("T", "", "", "", "", 0, 80)));
}

// A table that cannot be taken whole writes nothing, and the message names the CSV line.
TEST(EndToEndTest, ATableThatCannotBeTakenNamesItsLineAndWritesNothing) {
  TempDir dir;
  const fs::path song = dir / "a.mp3";
  const Bytes before = Concat(Audio(200), TagBytes("Old"));
  WriteFile(song, before);
  const std::string a = Utf8(song);
  const std::string missing = Utf8(dir / "missing.mp3");
  const fs::path csv = dir / "tags.csv";
  const std::string where = "--from-csv: " + Utf8(csv) + ", line ";
  struct Case {
    std::string text;
    std::string message;  // after "pelmix-cli: "
  };
  const Case cases[] = {
      {"path,titel\r\n",
       where + "1: unknown column \"titel\" (path, title, artist, album, year, comment, track, genre)"},
      {"Title,PATH,title\r\n", where + "1: the column \"title\" comes twice"},
      {"path;title\r\n", where + "1: unknown column \"path;title\" (path, title, artist, album, year, comment, track, "
                                 "genre); cells are separated by commas"},
      {"path,title\r\n" + a + ",New\r\n" + missing + ",x\r\n",
       where + "3 (" + missing + "): not found; nothing written"},
      {"path,title\r\n" + a + ",New\r\n" + a + ",x\r\n",
       where + "3 (" + a + "): the same file as line 2; nothing written"},
      {"path,title\n" + a + "," + std::string(31, 't') + "\n",
       where + "2 (" + a + "): title \"" + std::string(31, 't') + "\" is longer than its 30 bytes; nothing written"},
      {"path,title\r\n,,\r\n\r\n" + a + ",x,y\r\n", where + "4: 3 cells where the header has 2"},
      {"path,genre\r\n" + a + ",Polka Dub\r\n", where + "2: unknown genre \"Polka Dub\" (see pelmix-cli genres)"},
      {"path,title\r\n" + a + ",\"New\r\n", where + "2: a quoted cell has no closing quote"},
  };
  for (const Case& c : cases) {
    WriteFile(csv, std::string_view(c.text));
    const ProgramRun run = RunPelmixCli({"stamp", "--from-csv", Utf8(csv)});
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, "pelmix-cli: " + c.message + "; try 'pelmix-cli stamp --help'\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(song), before) << c.message;
  }
}

// A missing track number reads the same in every plain output: show, show -1, a dry run.
TEST(EndToEndTest, NoTrackReadsTheSameEverywhere) {
  TempDir dir;
  const fs::path file = dir / "a.mp3";
  WriteFile(file, Concat(Audio(200), TagBytes("Intro", "", "", "", "")));
  EXPECT_TRUE(Contains(RunPelmixCli(With({"show"}, {file})).out, "\n  Track:   none\n"));
  EXPECT_TRUE(Contains(RunPelmixCli(With({"show", "-1"}, {file})).out, ": track=none "));
  EXPECT_TRUE(Contains(RunPelmixCli(With({"stamp", "-n", "-T", ""}, {file})).out, "\n  track: none -> none\n"));
}

TEST(EndToEndTest, OutputForPeopleAndForScripts) {
  TempDir dir;
  const fs::path tagged = dir / "a.mp3";
  const fs::path missing = dir / "missing.mp3";
  WriteFile(tagged, Concat(Audio(200), TagBytes("Intro", "Band", "", "1999", "", 2)));

  const ProgramRun quiet = RunPelmixCli(With({"stamp", "-q", "-a", "Band"}, {tagged, missing}));
  EXPECT_EQ(quiet.status, 1);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "pelmix-cli: " + Utf8(missing) + ": not written: not found\n");
  // A dry run's lines are its plan: -q does not spare them.
  const ProgramRun quietPlan = RunPelmixCli(With({"stamp", "-qn", "-a", "Other"}, {tagged}));
  EXPECT_EQ(quietPlan.out, Utf8(tagged) + ": would write in place\n  artist: \"Band\" -> \"Other\"\n");

  const ProgramRun line = RunPelmixCli(With({"show", "-1"}, {tagged}));
  EXPECT_EQ(
      line.out,
      Utf8(tagged) + ": track=2 title=\"Intro\" artist=\"Band\" album=\"\" year=\"1999\" genre=none comment=\"\"\n");
  const ProgramRun block = RunPelmixCli(With({"show"}, {tagged}));
  EXPECT_TRUE(Contains(block.out, "  Genre:   none\n")) << block.out;

  // Names that JSON must escape: quotes, backslashes, a newline, bytes that are not UTF-8
  // (shown as U+FFFD, so the name's exact bytes come as well, in hex).
  struct Name {
    fs::path file;
    std::string json;
    std::string bytes;  // the hex of "/" and the name, for a name that is not UTF-8
  };
#ifdef _WIN32
  // Windows names hold no quote, backslash or control character.
  const Name names[] = {{dir / "it's & done.mp3", "it's & done.mp3", ""}};
#else
  const Name names[] = {
      {dir / "say \"hi\".mp3", "say \\\"hi\\\".mp3", ""},
      {dir / "two\nlines\\.mp3", "two\\nlines\\\\.mp3", ""},
      {dir / "caf\xE9.mp3", "caf\xEF\xBF\xBD.mp3", "2f636166e92e6d7033"},
  };
#endif
  for (const auto& [file, json, bytes] : names) {
    WriteFile(file, Audio(200));
    // The folder's part is plain ASCII; only the name's part is under test.
    const std::string folder = cli::JsonString(Utf8(dir.path()));
#ifdef _WIN32
    const std::string separator = "\\\\";
#else
    const std::string separator = "/";
#endif
    std::string path = "{\"path\":" + folder.substr(0, folder.size() - 1) + separator + json + "\"";
    if (!bytes.empty()) path += ",\"path_bytes\":\"" + Hex(Utf8(dir.path())) + bytes + "\"";
    struct Step {
      std::vector<std::string> command;
      std::string object;
    };
    const Step steps[] = {
        {{"stamp", "--json", "-t", "T"}, path + ",\"outcome\":\"appended\"}\n"},
        {{"stamp", "--json", "-t", "T"}, path + ",\"outcome\":\"unchanged\"}\n"},
        {{"strip", "--json", "-n"}, path + ",\"outcome\":\"stripped\",\"dry_run\":true}\n"},
        {{"strip", "--json"}, path + ",\"outcome\":\"stripped\"}\n"},
        {{"strip", "--json"}, path + ",\"outcome\":\"unchanged\"}\n"},
    };
    for (const Step& step : steps) {
      const ProgramRun run = RunPelmixCli(With(step.command, {file}));
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out, step.object);
    }
    fs::remove(file);
    const ProgramRun gone = RunPelmixCli(With({"strip", "--json"}, {file}));
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, path + ",\"outcome\":\"failed\",\"error\":\"not found\"}\n");
  }
}

TEST(EndToEndTest, TheBuiltInGenreListServesAProgramCopiedAlone) {
  TempDir dir;
  const fs::path program = dir.path() / PelmixCliPath().filename();
  fs::copy_file(PelmixCliPath(), program);
  const fs::path song = dir / "a.mp3";
  WriteFile(song, Audio(200));

  const ProgramRun stamp = RunProgram(program, {"stamp", "-g", "hip-hop", Utf8(song)});
  EXPECT_EQ(stamp.status, 0) << stamp.err;
  EXPECT_EQ(ReadFile(song), Concat(Audio(200), TagBytes("", "", "", "", "", 0, 7)));
  const ProgramRun genres = RunProgram(program, {"genres"});
  EXPECT_TRUE(Contains(genres.out, "  0 Blues\n") && Contains(genres.out, "191 Psybient\n")) << genres.out;

  // A list beside the program, or named, replaces the built-in one.
  WriteFile(dir / "genre.txt", std::string_view("7 Beside\n"));
  EXPECT_EQ(RunProgram(program, {"genres"}).out, "  7 Beside\n");
  WriteFile(dir / "named.txt", std::string_view("9 Named\n"));
  EXPECT_EQ(RunProgram(program, {"genres", "--genres", Utf8(dir / "named.txt")}).out, "  9 Named\n");
  // A named list that cannot be read is no reason to fall back quietly.
  const ProgramRun missing = RunProgram(program, {"genres", "--genres", Utf8(dir / "missing.txt")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "pelmix-cli: --genres: cannot read " + Utf8(dir / "missing.txt") +
                             ": not found; try 'pelmix-cli genres --help'\n");
}

// A list named with --genres is written for the run at hand: a line that would come out as
// code 0, or cut in two, is refused with its place. The one beside the program is the
// window's as well and is read as the window reads it.
TEST(EndToEndTest, ANamedGenreListIsRefusedAtItsFirstBadLine) {
  TempDir dir;
  const fs::path list = dir / "list.txt";
  struct Case {
    std::string text;
    std::string problem;  // after "--genres: <list>"; empty: read
  };
  const Case cases[] = {
      {"17 Rock\r\n\r\n\t 3\tDance\r\n", ""},
      {"17 Rock\r\n\r\nJazz\r\n18 Techno\nFolk\n", ", line 3: no genre number before the name"},
      {"1 " + std::string(125, 'x') + "\n2 " + std::string(126, 'y') + "\n", ", line 2: longer than 127 characters"},
  };
  for (const Case& c : cases) {
    WriteFile(list, std::string_view(c.text));
    const ProgramRun run = RunPelmixCli({"genres", "--genres", Utf8(list)});
    if (c.problem.empty()) {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out, "  3 Dance\n 17 Rock\n");
    } else {
      EXPECT_EQ(run.status, 2) << c.text;
      EXPECT_EQ(run.err, "pelmix-cli: --genres: " + Utf8(list) + c.problem + "; try 'pelmix-cli genres --help'\n");
    }
  }
  const ProgramRun folder = RunPelmixCli({"show", "--genres", Utf8(dir.path()), Utf8(list)});
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.err,
            "pelmix-cli: --genres: cannot read " + Utf8(dir.path()) + ": is a folder; try 'pelmix-cli show --help'\n");

  const fs::path program = dir.path() / PelmixCliPath().filename();
  fs::copy_file(PelmixCliPath(), program);
  WriteFile(dir / "genre.txt", std::string_view("7 Beside\nJazz\n"));
  const ProgramRun beside = RunProgram(program, {"genres"});
  EXPECT_EQ(beside.status, 0) << beside.err;
  EXPECT_EQ(beside.out, "  7 Beside\n  0 Jazz\n");
}

// A named genre list is read, and refused when it cannot be, by every command, also by one
// that needs no genre names: a mistyped name must not pass unnoticed.
TEST(EndToEndTest, ANamedGenreListIsReadByEveryCommand) {
  TempDir dir;
  const fs::path song = dir / "song.mp3";
  WriteFile(song, Audio(200));
  const std::string missing = Utf8(dir / "missing.txt");
  const struct {
    const char* command;
    std::vector<std::string> arguments;
  } cases[] = {
      {"strip", {"strip", "--genres", missing, Utf8(song)}},
      {"stamp", {"stamp", "--genre", "17", "--genres", missing, Utf8(song)}},
      {"stamp", {"stamp", "--title", "T", "--genres", missing, Utf8(song)}},
  };
  for (const auto& c : cases) {
    const ProgramRun run = RunPelmixCli(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments[1];
    EXPECT_EQ(run.err, "pelmix-cli: --genres: cannot read " + missing + ": not found; try 'pelmix-cli " + c.command +
                           " --help'\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(song), Audio(200));
  }
}

// Text of each code page the program reads, shown as UTF-8; a byte that is a control
// character in the code page comes escaped.
TEST(EndToEndTest, ShowDecodesTheCodePageAsked) {
  const fs::path fixtures = FixtureDir();
  ASSERT_FALSE(fixtures.empty()) << "PELMIX_FIXTURES is not set";
  const struct {
    const char* file;
    const char* encoding;
    const char* fields;  // the text members of the JSON line
  } cases[] = {
      {"cp1250.mp3", "cp1250", R"("title":"Žluťoučký kůň","artist":"Dvořák","album":"","year":"","comment":"")"},
      {"cp1251.mp3", "windows-1251",
       R"("title":"Кино","artist":"Звезда по имени Солнце","album":"","year":"","comment":"")"},
      {"cp1252.mp3", "1252", R"("title":"Café Déjà Vu","artist":"","album":"","year":"","comment":"€5 – naïve")"},
      {"latin1.mp3", "iso-8859-1", R"("title":"Señor ½ ©","artist":"","album":"","year":"","comment":"\u0080\u009f")"},
      {"latin1.mp3", "cp1252", R"("title":"Señor ½ ©","artist":"","album":"","year":"","comment":"€Ÿ")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.encoding);
    const ProgramRun run = RunPelmixCli({"show", "--json", "--encoding", c.encoding, Utf8(fixtures / c.file)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, std::string(",\"has_tag\":true,") + c.fields + ",")) << run.out;
  }
}

#ifndef _WIN32  // dozens of program starts: too slow under Wine; the session test covers the rule there
// Every tagged file beneath dir stamped with its own genre, then with its own genre and
// track number, stays byte for byte the same. Files sharing the values go in one run.
// Returns how many files were stamped.
std::size_t StampEachWithWhatItHolds(const fs::path& source) {
  TempDir dir;
  std::map<std::pair<int, int>, std::vector<fs::path>> groups;  // (genre, track) -> copies
  std::map<fs::path, Bytes> originals;
  for (const fs::path& file : Mp3FilesIn(source)) {
    const Bytes bytes = ReadFile(file);
    if (bytes.size() <= 128 || !std::equal(bytes.end() - 128, bytes.end() - 125, "TAG")) continue;
    const fs::path copy = dir / (std::to_string(originals.size()) + ".mp3");
    WriteFile(copy, bytes);
    originals[copy] = bytes;
    groups[{bytes.back(), bytes[bytes.size() - 2]}].push_back(copy);
  }
  for (const auto& [key, files] : groups) {
    const std::string genre = std::to_string(key.first);
    const std::string track = key.second == 0 ? "" : std::to_string(key.second);
    for (const std::vector<std::string>& fields :
         {std::vector<std::string>{"--genre", genre}, std::vector<std::string>{"--genre", genre, "--track", track}}) {
      std::vector<std::string> arguments = {"stamp"};
      arguments.insert(arguments.end(), fields.begin(), fields.end());
      const ProgramRun run = RunPelmixCli(With(arguments, files));
      EXPECT_EQ(run.status, 0) << run.out << run.err;
      for (const fs::path& file : files) EXPECT_EQ(ReadFile(file), originals[file]) << genre << " " << track;
    }
  }
  return originals.size();
}

TEST(EndToEndTest, StampingAFixtureFileWithWhatItHoldsChangesNoByte) {
  ASSERT_FALSE(FixtureDir().empty()) << "PELMIX_FIXTURES is not set";
  EXPECT_EQ(StampEachWithWhatItHolds(FixtureDir()), 25u);
}

TEST(EndToEndTest, StampingACorpusFileWithWhatItHoldsChangesNoByte) {
  PELMIX_SKIP_WITHOUT_CORPUS();
  EXPECT_GT(StampEachWithWhatItHolds(CorpusDir()), 200u);
}
#endif

}  // namespace
}  // namespace pelmix::test
