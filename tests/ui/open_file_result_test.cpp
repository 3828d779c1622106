// Splitting the Open dialog's result buffer into paths.
#include "ui/open_file_result.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmix::ui {
namespace {

using namespace std::string_literals;

std::vector<std::wstring> Split(const std::wstring& buffer, bool multipleSelection) {
  std::vector<std::wstring> texts;
  for (const auto& path : SplitOpenFileResult(buffer, multipleSelection)) texts.push_back(path.wstring());
  return texts;
}

TEST(OpenFileResultTest, JoinsEachNameToItsDirectoryInBufferOrder) {
  const struct {
    std::wstring buffer;  // as the dialog fills it, zeros included
    bool multipleSelection;
    std::vector<std::wstring> paths;
  } cases[] = {
      {L"C:\\m\\a.mp3\0\0"s, false, {L"C:\\m\\a.mp3"}},
      // Without multiple selection whatever follows the path is not looked at.
      {L"C:\\m\\a.mp3\0b.mp3\0\0"s, false, {L"C:\\m\\a.mp3"}},
      {L"C:\\m\\a.mp3\0\0"s, true, {L"C:\\m\\a.mp3"}},
      {L"C:\\m\0z.mp3\0a.mp3\0b c.mp3\0\0"s, true, {L"C:\\m\\z.mp3", L"C:\\m\\a.mp3", L"C:\\m\\b c.mp3"}},
      {L"C:\\\0a.mp3\0b.mp3\0\0"s, true, {L"C:\\a.mp3", L"C:\\b.mp3"}},
      {L"\\\\server\\share\0a.mp3\0b.mp3\0\0"s, true, {L"\\\\server\\share\\a.mp3", L"\\\\server\\share\\b.mp3"}},
      {L"/music/\0a.mp3\0b.mp3\0\0"s, true, {L"/music/a.mp3", L"/music/b.mp3"}},
      {L"C:\\x/\0a.mp3\0b.mp3\0\0"s, true, {L"C:\\x/\\a.mp3", L"C:\\x/\\b.mp3"}},
      // A buffer that ends without its closing zeros ends the last name.
      {L"C:\\m\0a.mp3\0b.mp3"s, true, {L"C:\\m\\a.mp3", L"C:\\m\\b.mp3"}},
      {L"\0\0"s, true, {}},
      {L""s, false, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Split(c.buffer, c.multipleSelection), c.paths) << testing::PrintToString(c.paths);
  }
}

TEST(OpenFileResultTest, TakesSelectionsLongerThanAnyFixedBuffer) {
  std::wstring buffer = L"D:\\" + std::wstring(300, L'd') + L'\0';
  for (int i = 0; i < 2000; ++i) buffer += L"track " + std::to_wstring(i) + std::wstring(30, L'x') + L".mp3" + L'\0';
  buffer += L'\0';
  const auto paths = SplitOpenFileResult(buffer, true);
  ASSERT_EQ(paths.size(), 2000u);
  EXPECT_EQ(paths[1999].wstring(),
            L"D:\\" + std::wstring(300, L'd') + L"\\track 1999" + std::wstring(30, L'x') + L".mp3");
}

}  // namespace
}  // namespace pelmix::ui
