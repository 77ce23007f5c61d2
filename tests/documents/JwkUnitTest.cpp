// JWK recognition and header reading on files built byte by byte.
#include <string>

#include "common/TestSupport.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/LegacyHeaderFixtures.h"
#include "documents/jwctype.h"
#include "support/Func_2.h"

using namespace legacyfixtures;
using testsupport::TempDir;
using testsupport::U16;

namespace {

Bytes JwkFile(std::string_view Record2) {
  return Concat({TitleRecord(kJwkSignatureBytes, "comment one", "comment two"), NumberRecord(Record2)});
}

class JwkHeader : public HeaderReading<TJwkData> {};

TEST_F(JwkHeader, ReadsTheFieldsInOrder) {
  ASSERT_TRUE(Read(JwkFile("1,2,3,4,5.5,-6.5,7.5,8,0.25")));
  EXPECT_EQ(H().jwID, u"jw_cad(c)sym........");
  EXPECT_EQ(H().comment1, u"comment one");
  EXPECT_EQ(H().comment2, u"comment two");
  EXPECT_EQ(H().lineCount, 1);
  EXPECT_EQ(H().arcCount, 2);
  EXPECT_EQ(H().tenCount, 3);  // points before texts, unlike JWC
  EXPECT_EQ(H().mojiCount, 4);
  EXPECT_FLOAT_EQ(H().org_x, 5.5f);
  EXPECT_FLOAT_EQ(H().org_y, -6.5f);
  EXPECT_FLOAT_EQ(H().dispScale, 7.5f);
  EXPECT_EQ(H().strSpace, 8);
  EXPECT_FLOAT_EQ(H().scale, 0.25f);
  EXPECT_TRUE(H().para.empty());
}

TEST_F(JwkHeader, ScaleOfZeroOrLessIsOne) {
  const std::pair<std::string, float> Cases[] = {
      {"0", 1.0f},       {"-2", 1.0f}, {"1e-14", 1.0f}, {"0.5", 0.5f},
      {"3e-14", 3e-14f}, {"x", 1.0f},  {"0.5 ", 1.0f},  {"$10", 1.0f},
  };
  for (const auto& [field, scale] : Cases) {
    SCOPED_TRACE(field);
    ASSERT_TRUE(Read(JwkFile("0,0,0,0,0,0,1,0," + field)));
    EXPECT_FLOAT_EQ(H().scale, scale);
  }
}

TEST_F(JwkHeader, CountsOnlyLeaveTheRestAtZero) {
  ASSERT_TRUE(Read(JwkFile("10,20,30,40")));
  EXPECT_EQ(H().mojiCount, 40);
  EXPECT_FLOAT_EQ(H().org_x, 0);
  EXPECT_FLOAT_EQ(H().org_y, 0);
  EXPECT_FLOAT_EQ(H().dispScale, 0);  // the preset "0", not the default 1.0
  EXPECT_EQ(H().strSpace, 0);
  EXPECT_FLOAT_EQ(H().scale, 1.0f);
}

TEST_F(JwkHeader, FilesTooShortForTheirRecords) {
  const Bytes Full = JwkFile("1,2,3,4,5,6,7,8,9");
  for (const auto& [size, ok] :
       {std::pair<std::size_t, bool>{0, false}, {120, false}, {200, false}, {201, true}, {400, true}}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(Read(Bytes(Full.begin(), Full.begin() + size)), ok);
  }
  // A record 2 cut short after "1,2,3" shows no bytes of record 1.
  ASSERT_TRUE(Read(Bytes(Full.begin(), Full.begin() + 205)));
  EXPECT_EQ(H().tenCount, 3);
  EXPECT_EQ(H().mojiCount, 0);
  EXPECT_FLOAT_EQ(H().scale, 1.0f);
}

TEST_F(JwkHeader, TextTypeTableFromTheJwcDefaults) {
  const std::vector<TEntJwcMojiType> Expected = {
      {0, 0, 0, 0},    {1, 20, 20, 0},  {1, 25, 25, 5},  {2, 30, 30, 5},  {2, 40, 40, 5},    {3, 50, 50, 10},
      {3, 60, 60, 10}, {4, 70, 70, 10}, {4, 80, 80, 10}, {5, 90, 90, 10}, {5, 100, 100, 10}, {0, 0, 0, 0},
  };
  EXPECT_EQ(Doc_.EntMjtp, Expected);
  ASSERT_TRUE(Read(JwkFile("1")));
  EXPECT_EQ(Doc_.EntMjtp, Expected);
  Doc_.DataFree();
  EXPECT_TRUE(Doc_.EntMjtp.empty());
  EXPECT_FLOAT_EQ(H().scale, 1.0f);

  JwcMojiTypeDef[0].width = 9;
  JwcTypeInit();
  Doc_.DataInit();
  EXPECT_EQ(Doc_.EntMjtp, Expected);
}

TEST(JwkFileCheck, SignatureMixUps) {
  TempDir Dir;
  testsupport::WriteFileBytes(Dir / "k", JwkFile("1"));
  testsupport::WriteFileBytes(Dir / "c", Concat({TitleRecord(kJwcSignatureBytes, "", ""), NumberRecord("1")}));
  testsupport::WriteFileBytes(Dir / "dots", Bytes(kJwkSignatureBytes.begin(), kJwkSignatureBytes.end() - 1));
  TJwkData Jwk;
  TJwcData Jwc;
  EXPECT_TRUE(Jwk.FileCheck(U16(Dir / "k")));
  EXPECT_FALSE(Jwk.FileCheck(U16(Dir / "c")));
  EXPECT_FALSE(Jwc.FileCheck(U16(Dir / "k")));
  EXPECT_TRUE(Jwc.FileCheck(U16(Dir / "c")));
  EXPECT_FALSE(Jwk.FileCheck(U16(Dir / "dots")));
  EXPECT_FALSE(Jwk.FileCheck(U16(Dir / "missing")));
}

}  // namespace
