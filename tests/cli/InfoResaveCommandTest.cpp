// lintorra-cli info and resave run as processes: what they print, their exit
// codes, the files they write and the working folder they clean up; and the
// program's version.
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

ProcessResult Cli(std::vector<std::string> Args, const TempDir& Scratch) {
  Args.insert(Args.begin(), LINTORRA_CLI_PATH);
  return testsupport::RunProcess(Args, Scratch);
}

std::vector<nlohmann::json> JsonLines(const std::string& Out) {
  std::vector<nlohmann::json> Lines;
  std::istringstream In(Out);
  for (std::string Line; std::getline(In, Line);) Lines.push_back(nlohmann::json::parse(Line));
  return Lines;
}

// A version-700 drawing with a memo on two lines, a line and a text that
// places the bound image "site.png" (5 bytes).
void WriteDrawingWithImage(const fs::path& File, const TempDir& Work) {
  TJwwData D;
  convfixtures::InitJww(D, 700);
  D.Enthd.strMemo = u"平面図\r\n1階";
  convfixtures::AddContent(D, convfixtures::Pen(2, 1));
  D.EntMoji[0].str = u"^@BM%temp%site.png,1,0,0,100,100,0";
  WriteFileBytes(Work / "site.png", {'i', 'm', 'a', 'g', 'e'});
  D.BindImageFolder = Work.u16();
  D.BindImageExr = true;
  D.BindImage.push_back({u"site.png", 5, false});
  D.SetFileOutOption(kOutUtf16);
  ASSERT_TRUE(D.FileOut(U16(File), 700));
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() { ::setenv("TMPDIR", Tmp_.path().c_str(), 1); }
  ~CliTest() override { ::unsetenv("TMPDIR"); }
  std::string P(const std::string& Name) const { return (Dir_ / Name).string(); }

  TempDir Dir_, Scratch_, Tmp_, Work_;
};

TEST_F(CliTest, InfoShowsWhatTheFileListShows) {
  WriteDrawingWithImage(Dir_ / "a.jww", Work_);
  convfixtures::WriteJws(Dir_ / "b.jws", 351, convfixtures::Pen(1, 1));
  WriteFileBytes(Dir_ / "c.jwc", Concat({TitleRecord(kJwcSignatureBytes, "first", "second"), NumberRecord(Counting(32)),
                                         NumberRecord(Counting(28)), NumberRecord("6000:0000")}));
  WriteFileBytes(Dir_ / "d.jwk", Concat({TitleRecord(kJwkSignatureBytes, "sym", "bol"), NumberRecord(Counting(9))}));
  WriteFileBytes(Dir_ / "e.jww", {'n', 'o', 't'});

  const ProcessResult R = Cli({"info", "--json", P("a.jww"), P("b.jws"), P("c.jwc"), P("d.jwk"), P("e.jww")}, Scratch_);
  EXPECT_EQ(R.Exit, 1) << "one file is not recognised";
  const auto Lines = JsonLines(R.Out);
  ASSERT_EQ(Lines.size(), 5u) << R.Out;
  struct Expect {
    const char* type;
    bool ok;
    const char* version;
    const char* memo;
  };
  const Expect Expected[] = {{"jww", true, "700", "平面図1階"},
                             {"jws", true, "351", ""},
                             {"jwc", true, "DOS", "firstsecond"},
                             {"jwk", true, "DOS", "symbol"},
                             {"jww", false, "", ""}};
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    SCOPED_TRACE(Lines[I].dump());
    EXPECT_EQ(Lines[I]["type"], Expected[I].type);
    EXPECT_EQ(Lines[I]["ok"], Expected[I].ok);
    EXPECT_EQ(Lines[I]["version"], Expected[I].version);
    EXPECT_EQ(Lines[I]["memo"], Expected[I].memo);
    EXPECT_FALSE(Lines[I].contains("entities")) << "only --full loads the drawing";
  }
  EXPECT_EQ(Cli({"info", P("a.jww"), P("b.jws")}, Scratch_).Exit, 0);
}

TEST_F(CliTest, InfoFullCountsEntitiesBlocksAndImages) {
  WriteDrawingWithImage(Dir_ / "a.jww", Work_);
  const ProcessResult R = Cli({"info", "--full", "--json", P("a.jww")}, Scratch_);
  ASSERT_EQ(R.Exit, 0) << R.Err;
  const nlohmann::json J = JsonLines(R.Out).at(0);
  EXPECT_EQ(J["loaded"], true);
  EXPECT_EQ(J["entities"]["line"], 1);
  EXPECT_EQ(J["entities"]["text"], 1);
  EXPECT_EQ(J["entities"]["block"], 1);
  EXPECT_EQ(J["block_definitions"], 1);
  EXPECT_EQ(J["block_definitions_used"], 1);
  EXPECT_EQ(J["images"], nlohmann::json::parse(R"([{"name":"site.png","size":5}])"));
  EXPECT_TRUE(fs::is_empty(Tmp_.path())) << "no working folder is left";

  const std::string Text = Cli({"info", "--full", P("a.jww")}, Scratch_).Out;
  EXPECT_NE(Text.find("loaded: true"), std::string::npos) << Text;
}

TEST_F(CliTest, ResaveKeepsTheDrawingAndItsImage) {
  WriteDrawingWithImage(Dir_ / "a.jww", Work_);
  ASSERT_EQ(Cli({"resave", P("a.jww"), P("b.jww")}, Scratch_).Exit, 0);
  ASSERT_EQ(Cli({"resave", P("b.jww"), P("c.jww")}, Scratch_).Exit, 0);
  EXPECT_EQ(ReadFileBytes(Dir_ / "b.jww"), ReadFileBytes(Dir_ / "c.jww")) << "a save is a fixed point";
  EXPECT_TRUE(fs::is_empty(Tmp_.path())) << "the working folder is removed";

  TJwwData D;
  D.BindImageFolder = Work_.u16();
  D.BindImageExp = D.BindImageExr = true;
  fs::remove(Work_ / "site.png");
  ASSERT_TRUE(D.FileIn(U16(Dir_ / "c.jww")));
  EXPECT_TRUE(D.MojiEncode) << "UTF-16 strings stay UTF-16";
  ASSERT_EQ(D.BindImage.size(), 1u);
  EXPECT_EQ(ReadFileBytes(Work_ / "site.png"), (std::vector<std::uint8_t>{'i', 'm', 'a', 'g', 'e'}));
  JwwDataFree(D);
}

TEST_F(CliTest, ResaveVersionsAndFailures) {
  convfixtures::WriteJww(Dir_ / "a.jww", 600, convfixtures::Pen(2, 1));
  convfixtures::WriteJws(Dir_ / "b.jws", 300, convfixtures::Pen(2, 1));
  WriteFileBytes(Dir_ / "notes.txt", {'x'});
  fs::copy_file(Dir_ / "a.jww", Dir_ / "\x95\xBD.jww");  // a Shift_JIS name
  struct Case {
    std::vector<std::string> args;
    int exit;
    const char* out;       // file that must exist afterwards, or ""
    std::int32_t version;  // its version
  };
  const Case Cases[] = {
      {{"resave", P("a.jww"), P("raised.jww"), "--version", "700"}, 0, "raised.jww", 700},
      {{"resave", P("b.jws"), P("own.jws")}, 0, "own.jws", 351},
      {{"resave", P("\x95\xBD.jww"), P("\x96\xCA.jww")}, 0, "\x96\xCA.jww", 600},
      {{"resave", P("a.jww"), P("low.jww"), "--version", "100"}, 2, "", 0},
      {{"resave", P("missing.jww"), P("x.jww")}, 1, "", 0},
      {{"resave", P("notes.txt"), P("x.jww")}, 2, "", 0},
      {{"resave", P("a.jww"), (Dir_ / "no-such-folder" / "x.jww").string()}, 1, "", 0},
  };
  for (const Case& C : Cases) {
    const ProcessResult R = Cli(C.args, Scratch_);
    EXPECT_EQ(R.Exit, C.exit) << C.args[2] << ": " << R.Err;
    if (C.exit != 0) {
      EXPECT_FALSE(R.Err.empty()) << C.args[2] << ": a failure says why";
    }
    if (*C.out == '\0') continue;
    const fs::path Out = Dir_ / C.out;
    const auto Bytes = ReadFileBytes(Out);
    const std::size_t VersionAt = Out.extension() == ".jws" ? 200 : 8;
    ASSERT_GT(Bytes.size(), VersionAt + 4) << C.out;
    std::int32_t V = 0;
    std::memcpy(&V, Bytes.data() + VersionAt, 4);
    EXPECT_EQ(V, C.version) << C.out;
  }
  EXPECT_FALSE(fs::exists(Dir_ / "low.jww"));
  EXPECT_FALSE(fs::exists(Dir_ / "x.jww"));
}

// info and resave say why a file could not be read or saved, with the offset
// where reading stopped.
TEST_F(CliTest, InfoAndResaveGiveTheReason) {
  convfixtures::WriteJww(Dir_ / "a.jww", 600, convfixtures::Pen(2, 1));
  auto Cut = ReadFileBytes(Dir_ / "a.jww");
  Cut.resize(1000);
  WriteFileBytes(Dir_ / "cut.jww", Cut);
  WriteFileBytes(Dir_ / "text.jws", {'n', 'o'});

  const ProcessResult Info = Cli({"info", "--json", "--full", P("cut.jww"), P("text.jws")}, Scratch_);
  EXPECT_EQ(Info.Exit, 1);
  const auto Lines = JsonLines(Info.Out);
  ASSERT_EQ(Lines.size(), 2u) << Info.Out;
  EXPECT_EQ(Lines[0]["error"], "the header ends early at offset 1000");
  EXPECT_EQ(Lines[1]["error"], "not a JWS file");
  EXPECT_NE(Cli({"info", P("text.jws")}, Scratch_).Out.find("  error: not a JWS file\n"), std::string::npos);

  EXPECT_EQ(Cli({"resave", P("cut.jww"), P("x.jww")}, Scratch_).Err,
            "lintorra-cli: cannot load " + P("cut.jww") + ": the header ends early at offset 1000\n");
  EXPECT_EQ(Cli({"resave", P("a.jww"), (Dir_ / "none" / "x.jww").string()}, Scratch_).Err,
            "lintorra-cli: cannot save " + (Dir_ / "none" / "x.jww").string() +
                ": cannot write the destination: No such file or directory\n");
}

// The program's --version tells the project's version; after resave the
// same word still names the format version (above).
TEST_F(CliTest, VersionIsTheProjects) {
  const ProcessResult R = Cli({"--version"}, Scratch_);
  EXPECT_EQ(R.Exit, 0);
  EXPECT_EQ(R.Out, "lintorra-cli " LINTORRA_VERSION "\n");
}

}  // namespace
