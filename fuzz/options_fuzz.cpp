// The command line's option parsing over any argument vector: the input split at zero
// bytes, as a program's arguments can hold none. Whatever it is given, it returns options
// or throws a usage error; any other exception or a crash is a finding. getopt keeps its
// state in globals, so each line is parsed twice and must come out the same both times.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "core/text_codec.h"
#include "fuzz/require.h"

namespace {

using namespace pelmix::cli;

// What a parse gave, as one string, so that two parses can be compared.
std::string Outcome(const std::vector<Argument>& arguments) {
  std::string text;
  try {
    const Options options = ParseOptions(arguments);
    text = "command " + std::to_string(static_cast<int>(options.command)) + " topic " +
           std::to_string(options.helpTopic ? static_cast<int>(*options.helpTopic) : -1) + " flags " +
           std::to_string(options.json) + std::to_string(options.dryRun) + std::to_string(options.recursive) +
           std::to_string(options.quiet) + std::to_string(options.oneLine) + std::to_string(options.keepOrder) +
           std::to_string(options.anyExtension) + std::to_string(options.keepTimes) + " page " +
           std::to_string(static_cast<int>(options.codePage)) + " genres " +
           (options.genresFile ? pelmix::PathText(*options.genresFile) : "-") + " name " +
           options.fromName.value_or("-");
    for (const auto& value : options.values) text += '\0' + value.value_or("-");
    for (pelmix::TagField field : options.increments) text += " inc " + std::to_string(static_cast<int>(field));
    for (const NativeName& operand : options.operands) text += '\0' + operand;
  } catch (const UsageError& error) {
    text = std::string("usage error: ") + error.what();
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<Argument> arguments;
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start <= input.size();) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    arguments.push_back(Argument::FromUtf8(input.substr(start, end - start)));
    start = end + 1;
  }
  pelmix::fuzz::Require(Outcome(arguments) == Outcome(arguments), "a second parse gives what the first gave");
  return 0;
}
