// pelmix-cli: the arguments as the system gives them (wide on Windows) into RunCli.
#include <string>
#include <vector>

#include "cli/cli_main.h"
#include "cli/text_display.h"

#ifdef _WIN32

int wmain(int argc, wchar_t** argv) {
  std::vector<pelmix::cli::Argument> arguments;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    arguments.push_back({pelmix::cli::PathText(path), std::move(path)});
  }
  pelmix::cli::Console console;
  return pelmix::cli::RunCli(arguments, console);
}

#else

int main(int argc, char** argv) {
  std::vector<pelmix::cli::Argument> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back({argv[i], std::filesystem::path(argv[i])});
  pelmix::cli::Console console;
  return pelmix::cli::RunCli(arguments, console);
}

#endif
