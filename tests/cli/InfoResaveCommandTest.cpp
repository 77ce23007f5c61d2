// lintorra-cli info and resave run as processes: what they print, their exit
// codes, the files they write and the working folder they clean up.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "tests/conversion/ConversionFixtures.h"
#include "tests/documents/LegacyHeaderFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace legacyfixtures;
using testsupport::ProcessResult;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;

ProcessResult Cli(std::vector<std::string> args, const TempDir& scratch) {
  args.insert(args.begin(), LINTORRA_CLI_PATH);
  return testsupport::RunProcess(args, scratch);
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

// A version-700 drawing with a memo on two lines, a line and a text that
// places the bound image "site.png" (5 bytes).
void WriteDrawingWithImage(const fs::path& file, const TempDir& work) {
  TJwwData d;
  convfixtures::InitJww(d, 700);
  d.Enthd.strMemo = u"平面図\r\n1階";
  convfixtures::AddContent(d, convfixtures::Pen(2, 1));
  d.EntMoji[0].str = u"^@BM%temp%site.png,1,0,0,100,100,0";
  WriteFileBytes(work / "site.png", {'i', 'm', 'a', 'g', 'e'});
  d.BindImageFolder = work.u16();
  d.BindImageExr = true;
  d.BindImage.push_back({u"site.png", 5, false});
  d.SetFileOutOption(kOutUtf16);
  ASSERT_TRUE(d.FileOut(U16(file), 700));
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() { ::setenv("TMPDIR", tmp.path().c_str(), 1); }
  ~CliTest() override { ::unsetenv("TMPDIR"); }
  std::string P(const std::string& name) const { return (dir / name).string(); }

  TempDir dir, scratch, tmp, work;
};

TEST_F(CliTest, InfoShowsWhatTheFileListShows) {
  WriteDrawingWithImage(dir / "a.jww", work);
  convfixtures::WriteJws(dir / "b.jws", 351, convfixtures::Pen(1, 1));
  WriteFileBytes(dir / "c.jwc", Concat({TitleRecord(kJwcSignature, "first", "second"), NumberRecord(Counting(32)),
                                        NumberRecord(Counting(28)), NumberRecord("6000:0000")}));
  WriteFileBytes(dir / "d.jwk", Concat({TitleRecord(kJwkSignature, "sym", "bol"), NumberRecord(Counting(9))}));
  WriteFileBytes(dir / "e.jww", {'n', 'o', 't'});

  const ProcessResult r = Cli({"info", "--json", P("a.jww"), P("b.jws"), P("c.jwc"), P("d.jwk"), P("e.jww")}, scratch);
  EXPECT_EQ(r.Exit, 1) << "one file is not recognised";
  const auto lines = JsonLines(r.Out);
  ASSERT_EQ(lines.size(), 5u) << r.Out;
  struct Expect {
    const char* type;
    bool ok;
    const char* version;
    const char* memo;
  };
  const Expect expected[] = {{"jww", true, "700", "平面図1階"},
                             {"jws", true, "351", ""},
                             {"jwc", true, "DOS", "firstsecond"},
                             {"jwk", true, "DOS", "symbol"},
                             {"jww", false, "", ""}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i].dump());
    EXPECT_EQ(lines[i]["type"], expected[i].type);
    EXPECT_EQ(lines[i]["ok"], expected[i].ok);
    EXPECT_EQ(lines[i]["version"], expected[i].version);
    EXPECT_EQ(lines[i]["memo"], expected[i].memo);
    EXPECT_FALSE(lines[i].contains("entities")) << "only --full loads the drawing";
  }
  EXPECT_EQ(Cli({"info", P("a.jww"), P("b.jws")}, scratch).Exit, 0);
}

TEST_F(CliTest, InfoFullCountsEntitiesBlocksAndImages) {
  WriteDrawingWithImage(dir / "a.jww", work);
  const ProcessResult r = Cli({"info", "--full", "--json", P("a.jww")}, scratch);
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const nlohmann::json j = JsonLines(r.Out).at(0);
  EXPECT_EQ(j["loaded"], true);
  EXPECT_EQ(j["entities"]["line"], 1);
  EXPECT_EQ(j["entities"]["text"], 1);
  EXPECT_EQ(j["entities"]["block"], 1);
  EXPECT_EQ(j["block_definitions"], 1);
  EXPECT_EQ(j["block_definitions_used"], 1);
  EXPECT_EQ(j["images"], nlohmann::json::parse(R"([{"name":"site.png","size":5}])"));
  EXPECT_TRUE(fs::is_empty(tmp.path())) << "no working folder is left";

  const std::string text = Cli({"info", "--full", P("a.jww")}, scratch).Out;
  EXPECT_NE(text.find("loaded: true"), std::string::npos) << text;
}

TEST_F(CliTest, ResaveKeepsTheDrawingAndItsImage) {
  WriteDrawingWithImage(dir / "a.jww", work);
  ASSERT_EQ(Cli({"resave", P("a.jww"), P("b.jww")}, scratch).Exit, 0);
  ASSERT_EQ(Cli({"resave", P("b.jww"), P("c.jww")}, scratch).Exit, 0);
  EXPECT_EQ(ReadFileBytes(dir / "b.jww"), ReadFileBytes(dir / "c.jww")) << "a save is a fixed point";
  EXPECT_TRUE(fs::is_empty(tmp.path())) << "the working folder is removed";

  TJwwData d;
  d.BindImageFolder = work.u16();
  d.BindImageExp = d.BindImageExr = true;
  fs::remove(work / "site.png");
  ASSERT_TRUE(d.FileIn(U16(dir / "c.jww")));
  EXPECT_TRUE(d.MojiEncode) << "UTF-16 strings stay UTF-16";
  ASSERT_EQ(d.BindImage.size(), 1u);
  EXPECT_EQ(ReadFileBytes(work / "site.png"), (std::vector<std::uint8_t>{'i', 'm', 'a', 'g', 'e'}));
  JwwDataFree(d);
}

TEST_F(CliTest, ResaveVersionsAndFailures) {
  convfixtures::WriteJww(dir / "a.jww", 600, convfixtures::Pen(2, 1));
  convfixtures::WriteJws(dir / "b.jws", 300, convfixtures::Pen(2, 1));
  WriteFileBytes(dir / "notes.txt", {'x'});
  fs::copy_file(dir / "a.jww", dir / "\x95\xBD.jww");  // a Shift_JIS name
  struct Case {
    std::vector<std::string> args;
    int exit;
    const char* out;       // file that must exist afterwards, or ""
    std::int32_t version;  // its version
  };
  const Case cases[] = {
      {{"resave", P("a.jww"), P("raised.jww"), "--version", "700"}, 0, "raised.jww", 700},
      {{"resave", P("b.jws"), P("own.jws")}, 0, "own.jws", 351},
      {{"resave", P("\x95\xBD.jww"), P("\x96\xCA.jww")}, 0, "\x96\xCA.jww", 600},
      {{"resave", P("a.jww"), P("low.jww"), "--version", "100"}, 2, "", 0},
      {{"resave", P("missing.jww"), P("x.jww")}, 1, "", 0},
      {{"resave", P("notes.txt"), P("x.jww")}, 2, "", 0},
      {{"resave", P("a.jww"), (dir / "no-such-folder" / "x.jww").string()}, 1, "", 0},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.args, scratch);
    EXPECT_EQ(r.Exit, c.exit) << c.args[2] << ": " << r.Err;
    if (c.exit != 0) {
      EXPECT_FALSE(r.Err.empty()) << c.args[2] << ": a failure says why";
    }
    if (*c.out == '\0') continue;
    const fs::path out = dir / c.out;
    const auto bytes = ReadFileBytes(out);
    const std::size_t versionAt = out.extension() == ".jws" ? 200 : 8;
    ASSERT_GT(bytes.size(), versionAt + 4) << c.out;
    std::int32_t v = 0;
    std::memcpy(&v, bytes.data() + versionAt, 4);
    EXPECT_EQ(v, c.version) << c.out;
  }
  EXPECT_FALSE(fs::exists(dir / "low.jww"));
  EXPECT_FALSE(fs::exists(dir / "x.jww"));
}

}  // namespace
