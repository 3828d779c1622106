// Names too long for the plain form of the Windows file calls are handed over as full
// paths marked as long; everything else as it is.
#include <gtest/gtest.h>

#include <string>

#include "core/raw_file.h"

namespace pelmix {
namespace {

#ifdef _WIN32
TEST(LongNameTest, OnlyLongNamesAreMarked) {
  const std::wstring deep = L"\\" + std::wstring(300, L'd') + L"\\song.mp3";
  struct Case {
    std::wstring name;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\music\\song.mp3", L"C:\\music\\song.mp3"},
      {L"C:\\music" + deep, L"\\\\?\\C:\\music" + deep},
      {L"C:\\music\\x\\..\\y" + deep, L"\\\\?\\C:\\music\\y" + deep},
      {L"C:/music" + deep, L"\\\\?\\C:\\music" + deep},
      {L"\\\\server\\share" + deep, L"\\\\?\\UNC\\server\\share" + deep},
      {L"\\\\?\\C:\\music" + deep, L"\\\\?\\C:\\music" + deep},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileCallName(c.name), c.expected) << c.name.size();
  }
}
#endif

}  // namespace
}  // namespace pelmix
