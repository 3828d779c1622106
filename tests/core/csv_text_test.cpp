// CSV text: records read from what spreadsheets write, and cells written so they read back.
#include "core/csv_text.h"

#include <gtest/gtest.h>

namespace pelmix {

void PrintTo(const CsvRecord& record, std::ostream* out) {
  *out << "line " << record.line << ":";
  for (const std::string& cell : record.cells) *out << " [" << cell << "]";
}

namespace {

using Records = std::vector<CsvRecord>;

TEST(CsvTextTest, ReadsRecordsAsSpreadsheetsWriteThem) {
  struct Case {
    std::string text;
    Records records;
  };
  const Case cases[] = {
      {"path,title\r\na.mp3,Intro\r\n", {{1, {"path", "title"}}, {2, {"a.mp3", "Intro"}}}},
      {"a,b\nc,d", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
      {"\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nnext\r\n",
       {{1, {"a,b", "say \"hi\"", "two\r\nlines"}}, {3, {"next"}}}},
      {"\xEF\xBB\xBFpath\n", {{1, {"path"}}}},
      {",,\n\"\"\n", {{1, {"", "", ""}}, {2, {""}}}},
      {"a,\nb,", {{1, {"a", ""}}, {2, {"b", ""}}}},
      {"a\n\nb\n", {{1, {"a"}}, {2, {""}}, {3, {"b"}}}},
      {"a\rb", {{1, {"a"}}, {2, {"b"}}}},
      {" a , b ", {{1, {" a ", " b "}}}},
      {"'=1+1,'Round,''=x,\"'-2\"\n", {{1, {"=1+1", "'Round", "'=x", "-2"}}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const auto read = ReadCsv(c.text);
    ASSERT_TRUE(std::holds_alternative<Records>(read)) << c.text;
    EXPECT_EQ(std::get<Records>(read), c.records) << c.text;
  }
}

TEST(CsvTextTest, MalformedTextNamesTheLineOfTheCell) {
  struct Case {
    std::string text;
    CsvProblem problem;
  };
  const Case cases[] = {
      {"a\n\"open\nstill", {CsvProblem::Kind::UnclosedQuote, 2}},
      {"\"a\"b\n", {CsvProblem::Kind::TextAfterQuote, 1}},
      {"ok\nab\"c\n", {CsvProblem::Kind::QuoteInCell, 2}},
      {"\"x\ny\",1\n\"bad\" ,2", {CsvProblem::Kind::TextAfterQuote, 3}},
  };
  for (const Case& c : cases) {
    const auto read = ReadCsv(c.text);
    ASSERT_TRUE(std::holds_alternative<CsvProblem>(read)) << c.text;
    EXPECT_EQ(std::get<CsvProblem>(read), c.problem) << c.text;
  }
}

TEST(CsvTextTest, CellsAreQuotedWhereTheyMustBeAndGuardedAgainstFormulas) {
  struct Case {
    std::vector<std::string> cells;
    std::string text;
  };
  const Case cases[] = {
      {{"a.mp3", "Intro", ""}, "a.mp3,Intro,\r\n"},
      {{"a,b", "say \"hi\"", "two\nlines"}, "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\"\r\n"},
      {{"=1+1", "-5", "@x", "+y", "\tz", "'=y", "'Round", " lead"}, "'=1+1,'-5,'@x,'+y,'\tz,''=y,'Round, lead\r\n"},
      {{"=a,b", "\rx"}, "\"'=a,b\",\"'\rx\"\r\n"},
  };
  for (const Case& c : cases) {
    std::string text;
    AppendCsvRecord(text, c.cells);
    EXPECT_EQ(text, c.text);
  }
}

// Whatever a tag or a name holds comes back from its cell as it was.
TEST(CsvTextTest, EveryCellReadsBackAsWritten) {
  std::vector<std::string> hostile = {"",   ",",    "\"", "\r",           "x\nz",     "x,\"y\"\r\nz",
                                      "'",  "'=",   "=",  "+1",           "-",        "@",
                                      "\t", "a\"b", "''", "\xEF\xBB\xBF", "\xFF\xFE", "Caf\xC3\xA9 \xF0\x9F\x8E\xB5"};
  hostile.emplace_back("nul\0byte", 8);
  std::string text;
  AppendCsvRecord(text, std::vector<std::string>{"header"});
  AppendCsvRecord(text, hostile);
  AppendCsvRecord(text, std::vector<std::string>{"last"});
  const auto read = ReadCsv(text);
  ASSERT_TRUE(std::holds_alternative<Records>(read));
  const Records& records = std::get<Records>(read);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].cells, hostile);
  EXPECT_EQ(records[2].line, 6u);  // three line breaks inside the cells above
}

}  // namespace
}  // namespace pelmix
