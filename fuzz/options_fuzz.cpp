// The command line's option parsing over any argument vector: the input split at zero
// bytes, as a program's arguments can hold none. Whatever it is given, it returns options
// or throws a usage error; any other exception or a crash is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<pelmix::cli::Argument> arguments;
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start <= input.size();) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    arguments.push_back(pelmix::cli::Argument::FromUtf8(input.substr(start, end - start)));
    start = end + 1;
  }
  try {
    pelmix::cli::ParseOptions(std::move(arguments));
  } catch (const pelmix::cli::UsageError&) {
  }
  return 0;
}
