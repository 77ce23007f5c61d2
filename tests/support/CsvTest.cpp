#include "support/Csv.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "common/TestSupport.h"
#include "support/FileIo.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;

struct LineCase {
  std::vector<std::u16string> Fields;
  std::u16string Line;
};

class CsvLineCases : public testing::TestWithParam<LineCase> {};

TEST_P(CsvLineCases, QuotesOnlyWhatNeedsIt) { EXPECT_EQ(CsvLine(GetParam().Fields), GetParam().Line); }

INSTANTIATE_TEST_SUITE_P(Fields, CsvLineCases,
                         testing::Values(LineCase{{u"a", u"線色 2", u""}, u"a,線色 2,\r\n"},
                                         LineCase{{u"x,y"}, u"\"x,y\"\r\n"},
                                         LineCase{{u"say \"hi\""}, u"\"say \"\"hi\"\"\"\r\n"},
                                         LineCase{{u"two\r\nlines", u"b"}, u"\"two\r\nlines\",b\r\n"},
                                         LineCase{{}, u"\r\n"}));

TEST(CsvFile, IsUtf8WithByteOrderMark) {
  TempDir Dir;
  ASSERT_TRUE(WriteCsvFile(U16(Dir / "t.csv"), {{u"ファイル", u"数"}, {u"a,b", u"3"}}));
  const std::string Bytes = [&] {
    const auto B = ReadFileBytes(Dir / "t.csv");
    return std::string(B.begin(), B.end());
  }();
  EXPECT_EQ(Bytes,
            "\xEF\xBB\xBF"
            "ファイル,数\r\n\"a,b\",3\r\n");
}

// A write that fails reports it and leaves an older file as it was.
TEST(CsvFile, AFailedWriteIsReportedAndKeepsTheOlderFile) {
  TempDir Dir;
  testsupport::WriteFileBytes(Dir / "t.csv", {'o', 'l', 'd'});
  SetFileStepFaultHook([](FileStep Step) { return Step == FileStep::Write ? ENOSPC : 0; });
  const bool Written = WriteCsvFile(U16(Dir / "t.csv"), {{u"a"}});
  SetFileStepFaultHook({});
  EXPECT_FALSE(Written);
  EXPECT_EQ(ReadFileBytes(Dir / "t.csv"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(WriteCsvFile(U16(Dir / "missing" / "t.csv"), {{u"a"}}));
}

}  // namespace
