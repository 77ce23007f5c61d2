// JWC recognition and header reading on files built byte by byte.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "common/TestSupport.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/LegacyHeaderFixtures.h"
#include "support/Func_2.h"

using namespace legacyfixtures;
using testsupport::TempDir;
using testsupport::U16;

namespace {

// A complete, valid header whose records 2 to 4 are given as text.
Bytes JwcFile(std::string_view Record2, std::string_view Record3 = "", std::string_view Record4 = "",
              std::string Id = std::string(kJwcSignatureBytes)) {
  return Concat({TitleRecord(Id, "comment one", "comment two"), NumberRecord(Record2), NumberRecord(Record3),
                 NumberRecord(Record4)});
}

class JwcHeader : public HeaderReading<TJwcData> {};

TEST_F(JwcHeader, ReadsEveryRecordInFieldOrder) {
  const std::string Record2 =
      "11,12,13,14,15,2,3,4,5,1.5,6,4,7,8,-10.5,20.25,2.5,7.5,12345,1,2,3,4,5,6,2.5,3.5,-1,1,0.5,594,1";
  const std::string Record3 = "1.5,2.5,4,30,1,2,3,4,5,6,0.5,1.5,2.5,3.5,4.5,5.5,7,8,9,50,10,20,30,40,60,-5,5,2";
  const std::string Record4 = "6000:0000,1234:5678," + Counting(18, 1) + ",2,3";
  ASSERT_TRUE(Read(JwcFile(Record2, Record3, Record4)));

  EXPECT_EQ(H().jwID, u"jw_cad(c)data.......");
  EXPECT_EQ(H().comment1, u"comment one");
  EXPECT_EQ(H().comment2, u"comment two");
  EXPECT_EQ(H().lineCount, 11);
  EXPECT_EQ(H().arcCount, 12);
  EXPECT_EQ(H().mojiCount, 13);
  EXPECT_EQ(H().tenCount, 14);
  EXPECT_EQ(H().vtenCount, 15);
  EXPECT_EQ(H().curMpcol, 5);
  EXPECT_FLOAT_EQ(H().wLayScale, 1.5f);
  EXPECT_EQ(H().psize, 4);
  EXPECT_FLOAT_EQ(H().plotOrgX, -10.5f);
  EXPECT_EQ(H().drawtime, 12345);
  EXPECT_EQ(H().penWidth, (std::array<std::int32_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_FLOAT_EQ(H().gridScale, 0.5f);
  EXPECT_EQ(H().drawWidth, 594);
  EXPECT_EQ(H().flgPthin, 1);

  EXPECT_FLOAT_EQ(H().mvDist, 1.5f);
  EXPECT_FLOAT_EQ(H().arAng, 30);
  EXPECT_EQ(H().mvKeta, 6);
  EXPECT_FLOAT_EQ(H().sOfsetYT, 5.5f);
  EXPECT_EQ(H().sOrgYm, 9);
  EXPECT_FLOAT_EQ(H().dlinDistB, 50);
  EXPECT_EQ(H().dlinDist, (std::array<float, 5>{10, 20, 30, 40, 60}));
  EXPECT_FLOAT_EQ(H().svScrnScl, 2);

  EXPECT_EQ(H().sBufAdr1, 0x60000);
  EXPECT_EQ(H().sBufAdr2, 0x12340 + 0x5678);
  EXPECT_FLOAT_EQ(H().subZm0X, 1);
  EXPECT_FLOAT_EQ(H().subZm4S, 15);
  EXPECT_FLOAT_EQ(H().hiTaka, 18);
  EXPECT_EQ(H().flgHok, 2);
  EXPECT_EQ(H().flg25Dm, 3);

  EXPECT_FLOAT_EQ(H().dataUnit, 0.5f);  // A4: 297 / 594
  EXPECT_TRUE(H().para.empty());
}

TEST_F(JwcHeader, FieldConversions) {
  struct Case {
    std::string field;
    std::int32_t asInt;  // lineCount, the first field
    float asSingle;      // wLayScale, field 9
  };
  const Case Cases[] = {
      {"12", 12, 12},    {" 12", 12, 12},
      {"12 ", 0, 0},     {"+12", 12, 12},
      {"-12", -12, -12}, {"$1F", 31, 0},
      {"0x1F", 31, 0},   {"1.5", 0, 1.5f},
      {" 2.5e1", 0, 25}, {"1 2", 0, 0},
      {"", 0, 0},        {"abc", 0, 0},
      {"1e39", 0, 0},    {"4294967296", 0, 4294967296.0f},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.field);
    const std::string F = C.field;
    ASSERT_TRUE(Read(JwcFile(F + ",0,0,0,0,0,0,0,0," + F + ",0,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0")));
    EXPECT_EQ(H().lineCount, C.asInt);
    EXPECT_FLOAT_EQ(H().wLayScale, C.asSingle);
  }
}

TEST_F(JwcHeader, AZeroByteEndsANumberNotTheRecord) {
  Bytes File = JwcFile("1,2x,3");
  File[200 + 3] = 0;  // "1,2\0,3"
  ASSERT_TRUE(Read(File));
  EXPECT_EQ(H().lineCount, 1);
  EXPECT_EQ(H().arcCount, 2);
  EXPECT_EQ(H().mojiCount, 3);
}

TEST_F(JwcHeader, MissingAndSurplusFields) {
  ASSERT_TRUE(Read(JwcFile(Counting(9, 1) + ",2.5")));  // ten fields
  EXPECT_EQ(H().curMpcol, 9);
  EXPECT_FLOAT_EQ(H().wLayScale, 2.5f);
  EXPECT_EQ(H().wLayNo, 0);
  EXPECT_EQ(H().psize, 0);
  EXPECT_EQ(H().lcol, 0);  // missing fields read "0", not their defaults
  EXPECT_FLOAT_EQ(H().gridX, 0);
  EXPECT_EQ(H().drawWidth, 518);
  EXPECT_FLOAT_EQ(H().dataUnit, static_cast<float>(1189.0 / 518.0));
  // Records 3 and 4 are all zero bytes: every field "0".
  EXPECT_FLOAT_EQ(H().arLen, 0);
  EXPECT_EQ(H().mvKeta, 0);
  EXPECT_EQ(H().sBufAdr1, 0);
  EXPECT_FLOAT_EQ(H().svScrnScl, 0);

  ASSERT_TRUE(Read(JwcFile(Counting(40, 1))));  // only the first 32 count
  EXPECT_EQ(H().drawWidth, 31);
  EXPECT_EQ(H().flgPthin, 32);

  ASSERT_TRUE(Read(JwcFile("7,")));  // nothing after the last comma
  EXPECT_EQ(H().lineCount, 7);
  EXPECT_EQ(H().arcCount, 0);
}

TEST_F(JwcHeader, DataUnitForEveryPaperSize) {
  const std::pair<int, double> Lengths[] = {
      {0, 1189}, {1, 841},   {2, 594},   {3, 420},    {4, 297},    {5, 594},     {6, 594},  {7, 594},  {8, 1682},
      {9, 2378}, {10, 3364}, {11, 4756}, {12, 10000}, {13, 50000}, {14, 100000}, {15, 594}, {-1, 594}, {99, 594},
  };
  for (const auto& [psize, length] : Lengths) {
    SCOPED_TRACE(psize);
    ASSERT_TRUE(
        Read(JwcFile("0,0,0,0,0,0,0,0,0,0,0," + std::to_string(psize) + ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,594,0")));
    EXPECT_EQ(H().psize, psize);
    EXPECT_FLOAT_EQ(H().dataUnit, static_cast<float>(length / 594.0));
  }
}

TEST_F(JwcHeader, SegmentOffsetAddresses) {
  struct Case {
    std::string field;
    std::int32_t value;
  };
  const Case Cases[] = {
      {"6000:0000", 0x60000},
      {"6000:0010", 0x60010},
      {"abcd:EF01", 0xABCD0 + 0xEF01},
      {"6000-0010", 0x60010},
      {"60G0:0010", 0x10},
      {"6000:00", 0x60000},
      {"60", 0x600},
      {"0", 0},
      {"6000:0010 trailing", 0x60010},  // only positions 0-3 and 5-8 are read
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.field);
    ASSERT_TRUE(Read(JwcFile(Counting(32), Counting(28), C.field + "," + C.field)));
    EXPECT_EQ(H().sBufAdr1, C.value);
    EXPECT_EQ(H().sBufAdr2, C.value);
  }
}

TEST_F(JwcHeader, ScaleFlagFromCharacter23) {
  const std::string Sig(kJwcSignatureBytes);
  const std::pair<std::string, bool> Cases[] = {
      {Sig + "xxf", true}, {Sig + "xxfmore", true}, {Sig + "xxF", false}, {Sig + "xx", false}, {Sig + "f", false},
  };
  for (const auto& [id, scaleF] : Cases) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(Read(JwcFile(Counting(32), "", "", id)));
    EXPECT_EQ(H().scaleF, scaleF);
  }
  EXPECT_TRUE(TJwcData().Enthd.scaleF);
}

TEST_F(JwcHeader, CommentsInTheCodePageEndAtTheirFields) {
  Bytes C1 = {0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D};  // 平面図, then 26 bytes of "1"
  C1.resize(32, '1');
  testsupport::ByteBuilder File;
  File.raw(Fixed(kJwcSignatureBytes, 40)).raw(C1).raw(Fixed("\x91\x71\x8C\xC9", 32)).fill(0, 96);
  File.raw(NumberRecord(Counting(32))).raw(NumberRecord("")).raw(NumberRecord(""));
  ASSERT_TRUE(Read(File.bytes));
  EXPECT_EQ(H().comment1, u"平面図" + std::u16string(26, u'1'));  // not run on into comment 2
  EXPECT_EQ(H().comment2, u"倉庫");
}

TEST_F(JwcHeader, FilesTooShortForTheirRecords) {
  const Bytes Full = JwcFile(Counting(32), Counting(28), "6000:0000,6000:0000");
  struct Case {
    std::size_t size;
    bool ok;
  };
  for (const Case C : {Case{0, false}, Case{150, false}, Case{200, false}, Case{399, false}, Case{600, false},
                       Case{601, true}, Case{800, true}}) {
    SCOPED_TRACE(C.size);
    EXPECT_EQ(Read(Bytes(Full.begin(), Full.begin() + C.size)), C.ok);
  }
  // Of a file of exactly 600 bytes, the records before the fourth were read,
  // yet the header as a whole failed.
  ASSERT_FALSE(Read(Bytes(Full.begin(), Full.begin() + 600)));
  EXPECT_EQ(H().comment1, u"comment one");
  EXPECT_EQ(H().sBufAdr1, 0x60000);  // still the default
}

TEST_F(JwcHeader, ARecordCutShortShowsNoBytesOfTheOneBefore) {
  // Record 3 is "1,1,1,..." all along; record 4 stops after 23 bytes. Without
  // clearing, the rest of record 3 would follow as further fields.
  std::string Record3;
  while (Record3.size() < 199) Record3 += Record3.empty() ? "1" : ",1";
  const std::string Record4 = "6000:0000,6000:0010,2.5";
  Bytes File = JwcFile(Counting(32), Record3, Record4);
  File.resize(600 + Record4.size());
  ASSERT_TRUE(Read(File));
  EXPECT_EQ(H().sBufAdr2, 0x60010);
  EXPECT_FLOAT_EQ(H().subZm0X, 2.5f);
  EXPECT_FLOAT_EQ(H().subZm0Y, 0);
  EXPECT_FLOAT_EQ(H().hiTaka, 0);
  EXPECT_EQ(H().flg25Dm, 0);
}

TEST_F(JwcHeader, EachReadStartsFromTheDefaults) {
  ASSERT_TRUE(Read(JwcFile(Counting(32), Counting(28), Counting(22))));
  ASSERT_FALSE(Read(Fixed(kJwcSignatureBytes, 100)));
  EXPECT_EQ(H().jwID, u"jw_cad(c)data.......");
  EXPECT_EQ(H().lineCount, 0);
  EXPECT_EQ(H().curFno, 1);
  EXPECT_FLOAT_EQ(H().lpitch2, 10);
  EXPECT_EQ(H().drawWidth, 518);
  EXPECT_EQ(H().dlinDist, (std::array<float, 5>{100, 100, 100, 100, 100}));
  EXPECT_EQ(H().sBufAdr2, 0x60000);
  EXPECT_FLOAT_EQ(H().dataUnit, 1);
}

TEST(JwcFileCheck, SignatureMustMatchExactly) {
  TempDir Dir;
  const std::pair<std::string, bool> Cases[] = {
      {"jw_cad(c)data.......", true},
      {"jw_cad(c)data.......and more", true},
      {"jw_cad(c)data       ", false},  // blanks instead of full stops
      {"JW_CAD(c)data.......", false},
      {"jw_cad(c)sym........", false},  // a JWK file
      {"jw_cad(c)data......", false},   // 19 bytes
      {std::string("jw_cad(c)data......\0", 20), false},
      {"", false},
  };
  TJwcData Jwc;
  for (const auto& [head, ok] : Cases) {
    SCOPED_TRACE(head);
    testsupport::WriteFileBytes(Dir / "x.jwc", Bytes(head.begin(), head.end()));
    EXPECT_EQ(Jwc.FileCheck(U16(Dir / "x.jwc")), ok);
  }
  EXPECT_FALSE(Jwc.FileCheck(U16(Dir / "missing.jwc")));
  EXPECT_FALSE(Jwc.FileCheck(Dir.u16()));
}

TEST(JwcFileCheck, AFifoNeverBlocks) {
  TempDir Dir;
  ASSERT_EQ(::mkfifo((Dir / "x.jwc").c_str(), 0600), 0);
  TJwcData Jwc;
  EXPECT_FALSE(Jwc.FileCheck(U16(Dir / "x.jwc")));
  EXPECT_FALSE(Jwc.FileHeaderIn(U16(Dir / "x.jwc")));
  TJwkData Jwk;
  EXPECT_FALSE(Jwk.FileCheck(U16(Dir / "x.jwc")));
  EXPECT_FALSE(Jwk.FileHeaderIn(U16(Dir / "x.jwc")));
}

}  // namespace
