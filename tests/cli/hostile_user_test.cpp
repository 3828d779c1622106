// The built program against what a careless or hostile user does to it and its files: odd
// names, output nobody can take, limits, other writers, a kill part-way through.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <sstream>

#include "tests/cli/run_program.h"
#include "tests/support/journal_folder.h"
#include "tests/support/json_line.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/child_process.h"
#endif

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

// The path as the program is given it: its bytes on POSIX, UTF-8 on Windows.
std::string Argument(const fs::path& path) {
#ifdef _WIN32
  return Utf8(path);
#else
  return path.native();
#endif
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Hex2(unsigned char byte) { return {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]}; }

// Names no code page or no UTF-8 decoder takes whole, and a path far past the old limit.
TEST(HostileUserTest, OddNamesGoThroughShowStampAndJson) {
  TempDir dir;
  struct Case {
    fs::path name;
    const char* plain;  // the name as the plain output shows it
    const char* json;   // the name as JSON gives it back, UTF-8
    const char* bytes;  // the name's bytes in hex, which JSON adds where it is not UTF-8
  };
  const std::vector<Case> cases = {
#ifdef _WIN32
      // Outside Windows-1252: only the wide-character calls reach these.
      {fs::path(u8"\u03A9 \u65E5\u672C.mp3"), "\u03A9 \u65E5\u672C.mp3", "\u03A9 \u65E5\u672C.mp3", nullptr},
      {fs::path(u8"caf\u00E9 \u20AC'.mp3"), "caf\u00E9 \u20AC'.mp3", "caf\u00E9 \u20AC'.mp3", nullptr},
#else
      {fs::path("quote\" back\\slash.mp3"), "quote\" back\\slash.mp3", "quote\" back\\slash.mp3", nullptr},
      {fs::path("bad\xFF\xFEname.mp3"), "bad\\xFF\\xFEname.mp3", "bad\xEF\xBF\xBD\xEF\xBF\xBDname.mp3",
       "626164fffe6e616d652e6d7033"},
      {fs::path("line\nbreak\x1B[31m.mp3"), "line\\x0Abreak\\x1B[31m.mp3", "line\nbreak\x1B[31m.mp3", nullptr},
      {fs::path("c1\xC2\x9B"
                "2J.mp3"),
       "c1\\x9B2J.mp3",
       "c1\xC2\x9B"
       "2J.mp3",
       nullptr},
#endif
  };
  std::vector<fs::path> files;
  for (const Case& c : cases) files.push_back(dir.path() / c.name);
  std::string deepName;
#ifndef _WIN32
  // A path of more than 1,000 characters, in folders of 200. (Windows takes such paths only
  // with a prefix the test library's own file calls do not use.)
  fs::path deep = dir.path();
  for (char c : {'a', 'b', 'c', 'd', 'e'}) deep /= std::string(200, c);
  fs::create_directories(deep);
  deepName = Utf8(fs::relative(deep / "long.mp3", dir.path()));
  ASSERT_GT(Utf8(deep / "long.mp3").size(), 1000u);
  files.push_back(deep / "long.mp3");
#endif

  std::vector<std::string> stamp = {"stamp", "--title", "Odd"};
  std::vector<std::string> show = {"show", "--json"};
  for (const fs::path& file : files) {
    WriteFile(file, Audio(300));
    stamp.push_back(Argument(file));
    show.push_back(Argument(file));
  }

  const ProgramRun stamped = RunPelmixCli(stamp);
  EXPECT_EQ(stamped.status, 0) << stamped.out << stamped.err;
  const std::vector<std::string> lines = Lines(stamped.out);
  ASSERT_EQ(lines.size(), files.size()) << stamped.out;
  const std::string prefix = Utf8(dir.path() / "");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(lines[i], prefix + cases[i].plain + ": appended");
  }
  for (const fs::path& file : files) EXPECT_EQ(ReadFile(file), Concat(Audio(300), TagBytes("Odd")));

  const ProgramRun shown = RunPelmixCli(show);
  EXPECT_EQ(shown.status, 0) << shown.err;
  const std::vector<std::string> objects = Lines(shown.out);
  ASSERT_EQ(objects.size(), files.size()) << shown.out;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const auto object = ParseJsonObject(objects[i]);
    ASSERT_TRUE(object) << "not valid JSON: " << objects[i];
    const std::string expected = i < cases.size() ? prefix + cases[i].json : prefix + deepName;
    EXPECT_EQ(object->at("path"), expected);
    EXPECT_EQ(object->at("title"), "Odd");
    // The folder's part is ASCII: its hex is the hex of its characters.
    std::string bytes;
    if (i < cases.size() && cases[i].bytes) {
      for (unsigned char c : Argument(dir.path() / "")) bytes += Hex2(c);
      bytes += cases[i].bytes;
    }
    EXPECT_EQ(object->count("path_bytes") ? object->at("path_bytes") : "", bytes);
  }
}

// Another program holding a file, by the lock or merely open for writing (a recorder, a
// download): the program waits a moment, then reports it and goes on.
TEST(HostileUserTest, AFileHeldByAnotherWriterIsReportedInUse) {
  for (const bool locked : {true, false}) {
    TempDir dir;
    const std::vector<fs::path> files = {dir / "held.mp3", dir / "free.mp3"};
    for (const fs::path& file : files) WriteFile(file, Audio(200));
#ifdef _WIN32
    // Unlocked: a writer that lets every other writer in as well.
    const DWORD sharing = locked ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE held = CreateFileW(files[0].c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
#else
    const int held = ::open(files[0].c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(held, 0);
    if (locked) {
      ASSERT_EQ(flock(held, LOCK_EX), 0);
    }
#endif
    const ProgramRun run = RunPelmixCli({"stamp", "--track", "3", Argument(files[0]), Argument(files[1])});
#ifdef _WIN32
    CloseHandle(held);
#else
    ::close(held);
#endif
    EXPECT_EQ(run.status, 1) << locked;
    EXPECT_EQ(run.out, Utf8(files[1]) + ": appended\n") << locked;
    EXPECT_EQ(run.err, "pelmix-cli: " + Utf8(files[0]) + ": not written: in use by another program\n") << locked;
    EXPECT_EQ(ReadFile(files[0]), Audio(200)) << locked;
    EXPECT_EQ(ReadFile(files[1]), Concat(Audio(200), TagBytes("", "", "", "", "", 3, 255))) << locked;
  }
}

// Two batches over the same files at once, each stamping its own field, and a show reading
// them meanwhile: every file ends with both fields, and all runs say so truthfully (a file
// the other batch holds is waited for, by the reader as well).
TEST(HostileUserTest, TwoBatchesOnTheSameFilesLoseNeitherField) {
  TempDir dir;
#ifdef _WIN32
  constexpr int kFiles = 500;  // as many as a Windows command line holds
#else
  constexpr int kFiles = 2000;
#endif
  std::vector<std::string> titles = {"stamp", "--title", "From A"};
  std::vector<std::string> artists = {"stamp", "--artist", "From B"};
  std::vector<std::string> show = {"show", "-1"};
  std::vector<fs::path> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(dir / (std::to_string(i) + ".mp3"));
    WriteFile(files.back(), i % 2 ? Audio(200) : Concat(Audio(200), TagBytes("Old", "Old")));
    for (std::vector<std::string>* command : {&titles, &artists, &show}) command->push_back(Argument(files.back()));
  }
  auto first = std::async(std::launch::async, [&titles] { return RunPelmixCli(titles); });
  auto reading = std::async(std::launch::async, [&show] { return RunPelmixCli(show); });
  const ProgramRun second = RunPelmixCli(artists);
  const ProgramRun firstRun = first.get();
  const ProgramRun shown = reading.get();
  EXPECT_EQ(firstRun.status, 0) << firstRun.err;
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(shown.status, 0) << shown.err;
  int lost = 0;
  for (const fs::path& file : files) lost += ReadFile(file) != Concat(Audio(200), TagBytes("From A", "From B"));
  EXPECT_EQ(lost, 0);
}

#ifndef _WIN32

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Starts pelmix-cli with standard output on `out` (an open descriptor) and standard error
// into `err`; returns its process id.
pid_t Start(const std::vector<std::string>& arguments, int out, const fs::path& err) {
  const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t child = StartProgram(PelmixCliPath(), arguments, out, errFd);
  ::close(errFd);
  return child;
}

std::string Text(const fs::path& path) {
  const Bytes bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// Output that goes nowhere must not end the batch nor pass for complete output.
TEST(HostileUserTest, OutputThatCannotBeWrittenFailsTheRun) {
  TempDir dir;
  // More files than one flush of output holds, so a closed pipe is met part-way.
  std::vector<std::string> stamp = {"stamp", "--title", "T"};
  std::vector<fs::path> files;
  for (int i = 0; i < 1500; ++i) {
    files.push_back(dir / (std::string(60, 'n') + std::to_string(i) + ".mp3"));
    WriteFile(files.back(), Audio(150));
    stamp.push_back(files.back().native());
  }
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ::close(pipeEnds[0]);
  const pid_t stamping = Start(stamp, pipeEnds[1], dir / "err");
  ::close(pipeEnds[1]);
  EXPECT_EQ(WaitForChild(stamping), 1);
  EXPECT_TRUE(Contains(Text(dir / "err"), "pelmix-cli: cannot write the output: ")) << Text(dir / "err");
  for (const fs::path& file : files) ASSERT_EQ(ReadFile(file), Concat(Audio(150), TagBytes("T"))) << file;

  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  const pid_t showing = Start({"show", "--json", "-r", dir.path().native()}, full, dir / "err");
  ::close(full);
  EXPECT_EQ(WaitForChild(showing), 1);
  EXPECT_EQ(Text(dir / "err"), "pelmix-cli: cannot write the output: disk full\n");
}

// A reader that has seen enough (| head -1) ends show, genres and a help the way it ends
// the shell's other tools: by SIGPIPE, at once and without a word. A stamp into the same
// pipe finishes its files and says so (above).
TEST(HostileUserTest, AReaderThatStopsEarlyStopsShowQuietly) {
  TempDir dir;
  std::vector<std::string> show = {"show"};
  for (int i = 0; i < 1500; ++i) {
    const fs::path file = dir / (std::string(60, 'n') + std::to_string(i) + ".mp3");
    WriteFile(file, Audio(150));
    show.push_back(file.native());
  }
  // Past the first flush of output: a show that went on would report it.
  show.push_back((dir / "missing.mp3").native());
  for (const std::vector<std::string>& command : {show, {"genres"}, {"stamp", "--help"}}) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const pid_t child = Start(command, pipeEnds[1], dir / "err");
    ::close(pipeEnds[1]);
    EXPECT_EQ(WaitForChild(child), 128 + SIGPIPE) << command[0];
    EXPECT_EQ(Text(dir / "err"), "") << command[0];
  }
}

// A long batch shows a counter on a terminal's standard error only while its outcome lines
// go elsewhere: on the terminal they show the progress themselves.
TEST(HostileUserTest, TheCounterShowsOnlyWhileTheOutcomesGoElsewhere) {
  TempDir dir;
  // Files without a tag: strip leaves them unchanged, and -q keeps that from the output.
  std::vector<std::string> strip = {"strip", "-q"};
  for (int i = 0; i < 301; ++i) {
    strip.push_back((dir / (std::to_string(i) + ".mp3")).native());
    WriteFile(strip.back(), Audio(10));
  }
  const struct {
    const char* what;
    bool outcomesOnTerminal;
    std::size_t files;
    bool counter;
  } cases[] = {
      {"outcomes elsewhere", false, 301, true},
      {"outcomes on the terminal", true, 301, false},
      {"too few files to count", false, 300, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const int screen = ::open(ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
    const int elsewhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(screen, 0);
    const std::vector<std::string> arguments(strip.begin(), strip.begin() + 2 + static_cast<std::ptrdiff_t>(c.files));
    const pid_t child = StartProgram(PelmixCliPath(), arguments, c.outcomesOnTerminal ? screen : elsewhere, screen);
    ::close(screen);
    ::close(elsewhere);
    EXPECT_EQ(WaitForChild(child), 0);
    // What the terminal got stays readable after the program ended, until an error says the end.
    std::string shown;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
      shown.append(buffer, static_cast<std::size_t>(n));
    ::close(terminal);
    if (c.counter) {
      // Shown at once, then wiped with blanks when the batch ends.
      EXPECT_TRUE(shown.starts_with("\r1 of 301 files\r")) << shown;
      const std::size_t wipe = shown.rfind('\r', shown.size() - 2);
      ASSERT_NE(wipe, std::string::npos) << shown;
      EXPECT_EQ(shown.substr(wipe), "\r" + std::string(shown.size() - wipe - 2, ' ') + "\r") << shown;
    } else {
      EXPECT_EQ(shown, "");
    }
  }
}

// Under a file size limit the append is cut short: it is undone, reported, and the batch
// goes on.
TEST(HostileUserTest, AFileSizeLimitIsReportedAndTheBatchGoesOn) {
  TempDir dir;
  const std::vector<fs::path> files = {dir / "large.mp3", dir / "small.mp3"};
  WriteFile(files[0], Audio(1000));
  WriteFile(files[1], Audio(100));
  const int status = RunInChild([&files] {
    std::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
    const rlimit limit{1050, 1050};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    const ProgramRun run = RunPelmixCli({"stamp", "--title", "T", files[0].native(), files[1].native()});
    if (run.status != 1) return 1;
    const bool told = run.err == "pelmix-cli: " + files[0].native() + ": not written: file too large\n";
    return told && run.out == files[1].native() + ": appended\n" ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(files[0]), Audio(1000));
  EXPECT_EQ(ReadFile(files[1]), Concat(Audio(100), TagBytes("T")));
}

TEST(HostileUserTest, AGenreListThatIsNoFileIsRefusedAtOnce) {
  TempDir dir;
  const fs::path fifo = dir / "genres";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& list : {fifo, fs::path("/dev/zero")}) {
    const ProgramRun run = RunPelmixCli({"genres", "--genres", list.native()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pelmix-cli: --genres: cannot read " + list.native() +
                           ": not a regular file; try 'pelmix-cli genres --help'\n")
        << run.err;
  }
}

// Killed part-way through a large batch: every file is as it was or fully stamped.
TEST(HostileUserTest, ABatchKilledPartWayLeavesNoFileHalfDone) {
  TempDir dir;
  constexpr int kFiles = 20000;
  std::vector<std::string> stamp = {"stamp", "--album", "Killed", "--genre", "17"};
  std::vector<Bytes> originals;
  std::vector<fs::path> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(dir / (std::to_string(i) + ".mp3"));
    originals.push_back(i % 2 ? Audio(200 + i % 7) : Concat(Audio(200), TagBytes("Old", "", "", "", "", 2, 4)));
    WriteFile(files.back(), originals.back());
    stamp.push_back(files.back().native());
  }
  const int out = ::open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t child = Start(stamp, out, dir / "err");
  ::close(out);
  // The first flush of output comes after a thousand files or so.
  for (int wait = 0; wait < 100000 && fs::file_size(dir / "out") == 0; ++wait) usleep(200);
  kill(child, SIGKILL);
  EXPECT_EQ(WaitForChild(child), 128 + SIGKILL);

  int stamped = 0;
  for (int i = 0; i < kFiles; ++i) {
    const Bytes now = ReadFile(files[static_cast<std::size_t>(i)]);
    const Bytes& before = originals[static_cast<std::size_t>(i)];
    const Bytes done = i % 2 ? Concat(before, TagBytes("", "", "Killed", "", "", 0, 17))
                             : Concat(Audio(200), TagBytes("Old", "", "Killed", "", "", 2, 17));
    EXPECT_TRUE(now == before || now == done) << files[static_cast<std::size_t>(i)];
    stamped += now == done;
  }
  EXPECT_GT(stamped, 0);
  EXPECT_LT(stamped, kFiles) << "the batch ended before the kill";
}

// Stopped by a signal part-way through a large batch: the file in hand is finished, every
// file written is reported (none left in an unflushed buffer), and the exit status says
// which signal stopped it. Files are taken in the order given, so those written are the first.
TEST(HostileUserTest, ABatchStoppedByASignalReportsEveryFileItWrote) {
  struct Case {
    int signal;
    int status;
    std::string name;
  };
  const Case cases[] = {{SIGINT, 130, "SIGINT"}, {SIGTERM, 143, "SIGTERM"}, {SIGHUP, 129, "SIGHUP"}};
  constexpr std::size_t kFiles = 5000;
  for (const Case& c : cases) {
    TempDir dir;
    std::vector<std::string> stamp = {"stamp", "--album", "Stopped"};
    std::vector<fs::path> files;
    for (std::size_t i = 0; i < kFiles; ++i) {
      files.push_back(dir / (std::to_string(i) + ".mp3"));
      WriteFile(files.back(), Audio(200));
      stamp.push_back(files.back().native());
    }
    const int out = ::open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t child = Start(stamp, out, dir / "err");
    ::close(out);
    for (int wait = 0; wait < 100000 && fs::file_size(files[20]) == 200; ++wait) usleep(100);
    kill(child, c.signal);
    EXPECT_EQ(WaitForChild(child), c.status) << c.name;

    std::size_t written = 0;
    while (written < kFiles && fs::file_size(files[written]) == 200 + 128) ++written;
    for (std::size_t i = written; i < kFiles; ++i) ASSERT_EQ(fs::file_size(files[i]), 200u) << files[i];
    EXPECT_GT(written, 20u) << c.name;
    EXPECT_LT(written, kFiles) << "the batch ended before the signal";
    std::string reported;
    for (std::size_t i = 0; i < written; ++i) reported += files[i].native() + ": appended\n";
    EXPECT_EQ(Text(dir / "out"), reported) << c.name;
    EXPECT_EQ(Text(dir / "err"), "pelmix-cli: stopped by " + c.name + "; the files not reached were left alone\n");
  }
}

// An undo is a batch too: a signal stops it after the file in hand, and the files it has not
// reached keep the change it was taking back. It goes the last file first.
TEST(HostileUserTest, AnUndoStoppedByASignalLeavesTheFilesNotReached) {
  TempDir dir;
  const JournalFolderSet journal(dir / "journal");
  constexpr std::size_t kFiles = 5000;
  std::vector<std::string> stamp = {"stamp", "-q", "--album", "Stopped"};
  std::vector<fs::path> files;
  for (std::size_t i = 0; i < kFiles; ++i) {
    files.push_back(dir / (std::to_string(i) + ".mp3"));
    WriteFile(files.back(), Audio(200));
    stamp.push_back(files.back().native());
  }
  ASSERT_EQ(RunPelmixCli(stamp).status, 0);
  const int out = ::open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t child = Start({"undo"}, out, dir / "err");
  ::close(out);
  for (int wait = 0; wait < 100000 && fs::file_size(files[kFiles - 21]) != 200; ++wait) usleep(100);
  kill(child, SIGINT);
  EXPECT_EQ(WaitForChild(child), 130);

  std::size_t stamped = 0;
  while (stamped < kFiles && fs::file_size(files[stamped]) == 200 + 128) ++stamped;
  for (std::size_t i = stamped; i < kFiles; ++i) ASSERT_EQ(fs::file_size(files[i]), 200u) << files[i];
  EXPECT_GT(stamped, 0u) << "the undo ended before the signal";
  EXPECT_LT(stamped, kFiles - 20);
  std::string reported;
  for (std::size_t i = kFiles; i-- > stamped;) reported += files[i].native() + ": restored\n";
  EXPECT_EQ(Text(dir / "out"), reported);
  EXPECT_EQ(Text(dir / "err"), "pelmix-cli: stopped by SIGINT; the files not reached were left alone\n");
}

#endif

}  // namespace
}  // namespace pelmix::test
