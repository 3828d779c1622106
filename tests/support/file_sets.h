// The sets of files the reader and stamp tests run on: the fixtures our own script makes at
// build time, always there, and the shared corpus, there only beside a checkout with ../shared.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace pelmix::test {

// The folder the build generates the fixtures into.
std::filesystem::path FixtureDir();
// The shared corpus's folder, or empty when it is not beside the project.
std::filesystem::path CorpusDir();
// Whether a missing corpus fails the tests instead of skipping them (CI sets
// PELMIX_REQUIRE_CORPUS, so that a run there cannot pass without the corpus).
bool CorpusRequired();
// Every file beneath the folder whose name ends in ".mp3", in name order.
std::vector<std::filesystem::path> Mp3FilesIn(const std::filesystem::path& dir);

}  // namespace pelmix::test

// Ends the test where the corpus is absent: a skip, or a failure where it is required.
#define PELMIX_SKIP_WITHOUT_CORPUS()                                                                               \
  do {                                                                                                             \
    if (::pelmix::test::CorpusDir().empty()) {                                                                     \
      if (::pelmix::test::CorpusRequired()) FAIL() << "../shared/corpus is missing; PELMIX_REQUIRE_CORPUS is set"; \
      GTEST_SKIP() << "../shared/corpus is not beside the project";                                                \
    }                                                                                                              \
  } while (false)
