// pelmix-cli: the arguments as the system gives them (wide on Windows) into RunCli.
#include <string>
#include <vector>

#include "cli/cli_main.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "core/text_codec.h"

#ifdef _WIN32

// Windows shells hand patterns such as *.mp3 to the program unexpanded: the C runtime
// expands them, as a POSIX shell would, so that the same command works in a batch file.
extern "C" {
int _dowildcard = -1;
}

int wmain(int argc, wchar_t** argv) {
  std::vector<pelmix::cli::Argument> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 1; i < argc; ++i) {
    std::wstring native(argv[i]);
    std::string utf8 = pelmix::PathText(native);
    arguments.push_back({std::move(native), std::move(utf8)});
  }
  pelmix::cli::Console console;
  return console.Finish(pelmix::cli::RunCli(std::move(arguments), console));
}

#else

int main(int argc, char** argv) {
  pelmix::cli::IgnoreBatchEndingSignals();
  pelmix::cli::CatchStopSignals();
  std::vector<pelmix::cli::Argument> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 1; i < argc; ++i) arguments.push_back({argv[i]});
  pelmix::cli::Console console;
  const int status = pelmix::cli::RunCli(std::move(arguments), console);
  // After every line of the batch, which Finish then flushes.
  if (const std::string notice = pelmix::cli::StopNotice(); !notice.empty()) console.Err(notice);
  return pelmix::cli::StatusAfterStop(console.Finish(status));
}

#endif
