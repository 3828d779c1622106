// Reading the Open dialog's file name field and telling which names it could not hold.
#include "ui/framework/file_name_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmix::ui {
namespace {

TEST(FileNameFieldTest, NamesAreTheQuotedPartsOrTheWholeText) {
  const struct {
    std::wstring text;
    std::vector<std::wstring> names;
  } cases[] = {
      {L"a.mp3", {L"a.mp3"}},
      {L"C:\\m\\a b.mp3", {L"C:\\m\\a b.mp3"}},
      {L"\"a.mp3\" \"b c.mp3\"", {L"a.mp3", L"b c.mp3"}},
      {L"\"a.mp3\"\"b.mp3\" ", {L"a.mp3", L"b.mp3"}},
      {L"\"\" \"a.mp3\"", {L"a.mp3"}},
      {L"\"a.mp3\" \"unclosed", {L"a.mp3", L"unclosed"}},
      {L"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(FieldNames(c.text), c.names) << testing::PrintToString(c.text);
}

TEST(FileNameFieldTest, ANameFitsWhileItsPathWithExtensionAndZeroStaysWithin260) {
  const std::wstring folder = L"C:\\m";  // 4 characters; with the backslash 5
  const struct {
    std::wstring folder;
    std::wstring name;
    std::wstring extension;
    bool fits;
  } cases[] = {
      // 5 + 250 + 4 (".mp3") + 1 (zero) = 260
      {folder, std::wstring(250, L'n'), L"mp3", true},
      {folder, std::wstring(251, L'n'), L"mp3", false},
      {folder, std::wstring(254, L'n'), L"", true},
      {folder, std::wstring(255, L'n'), L"", false},
      // A folder that ends in its separator gets no other.
      {L"C:\\m\\", std::wstring(250, L'n'), L"mp3", true},
      {L"C:\\m\\", std::wstring(251, L'n'), L"mp3", false},
      // A name with a drive stands alone; one with a leading separator takes the drive.
      {std::wstring(300, L'f'), L"D:\\" + std::wstring(256, L'n'), L"", true},
      {std::wstring(300, L'f'), L"D:\\" + std::wstring(257, L'n'), L"", false},
      {std::wstring(300, L'f'), L"\\" + std::wstring(256, L'n'), L"", true},
      {std::wstring(300, L'f'), L"/" + std::wstring(257, L'n'), L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.folder.size()) + " + " + std::to_string(c.name.size()));
    EXPECT_EQ(NamesFitDialog(c.folder, std::vector{c.name}, c.extension), c.fits);
  }
  // One name too long is enough.
  EXPECT_FALSE(NamesFitDialog(folder, std::vector<std::wstring>{L"a.mp3", std::wstring(251, L'n')}, L"mp3"));
  EXPECT_TRUE(NamesFitDialog(folder, std::vector<std::wstring>{}, L"mp3"));
}

}  // namespace
}  // namespace pelmix::ui
