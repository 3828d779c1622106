// The program directory and the help page's path, from module paths of any length.
#include "ui/program_directory.h"

#include <gtest/gtest.h>

namespace pelmix::ui {
namespace {

TEST(ProgramDirectoryTest, KeepsEverythingUpToTheLastBackslash) {
  const struct {
    std::wstring modulePath;
    std::wstring directory;
  } cases[] = {
      {L"C:\\Tools\\x.exe", L"C:\\Tools\\"},
      {L"C:\\x.exe", L"C:\\"},
      {L"\\\\server\\share\\bin\\Pelmix.exe", L"\\\\server\\share\\bin\\"},
      {L"C:\\a.b\\c d\\Pelmix.exe", L"C:\\a.b\\c d\\"},
      {L"Pelmix.exe", L"Pelmix.exe"},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramDirectory(c.modulePath), c.directory);
}

TEST(ProgramDirectoryTest, TakesPathsLongerThanTheOldLimit) {
  const std::wstring deep = L"\\\\?\\C:\\" + std::wstring(300, L'd') + L"\\";
  EXPECT_EQ(ProgramDirectory(deep + L"Pelmix.exe"), deep);
}

}  // namespace
}  // namespace pelmix::ui
