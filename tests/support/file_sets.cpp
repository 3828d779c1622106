// Finding the generated fixtures and the shared corpus.
#include "tests/support/file_sets.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace pelmix::test {

std::filesystem::path FixtureDir() { return PELMIX_FIXTURES; }

std::filesystem::path CorpusDir() {
  const char* shared = std::getenv("PELMIX_SHARED");
  if (!shared || !*shared) return {};
  const std::filesystem::path corpus = std::filesystem::path(shared) / "corpus";
  std::error_code ignored;
  return std::filesystem::is_directory(corpus, ignored) ? corpus : std::filesystem::path();
}

bool CorpusRequired() {
  const char* required = std::getenv("PELMIX_REQUIRE_CORPUS");
  return required && *required && std::string(required) != "0";
}

std::vector<std::filesystem::path> Mp3FilesIn(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.path().extension() == ".mp3") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace pelmix::test
