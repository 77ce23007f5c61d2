// lintorra-cli render as a process: the picture of each kind, the colour
// schemes, a conversion done in memory only, and the failures it reports.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QImage>
#include <QRegularExpression>
#include <filesystem>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/SettingsFile.h"
#include "display/DisplayFixtures.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;
using namespace displayfix;
using testsupport::ProcessResult;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;

class RenderCommand : public testing::Test {
 protected:
  RenderCommand() {
    // The command must need neither a display nor a platform named for it.
    ::unsetenv("DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::setenv("TMPDIR", Tmp_.path().c_str(), 1);
    TJwwData D;
    InitA4(D);
    D.EntCol[2].aPrtPenColor = 0x0000FF;                        // printed red
    AddLine(D, convfixtures::Pen(2, 1, 200), -100, 0, 100, 0);  // 2 mm: solid pixels across its middle
    EXPECT_TRUE(D.FileOut(U16(Dir_ / "plan.jww"), 700));
  }
  ~RenderCommand() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("TMPDIR");
  }

  ProcessResult Cli(std::vector<std::string> Args) {
    Args.insert(Args.begin(), LINTORRA_CLI_PATH);
    return testsupport::RunProcess(Args, Scratch_);
  }
  std::string P(const std::string& Name) const { return (Dir_ / Name).string(); }
  QImage Picture(const std::string& Name) const { return QImage(QString::fromStdString(P(Name))); }
  std::vector<std::string> Files() const {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(Dir_.path())) Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }
  // The line's colour in the middle of the picture.
  static QColor LineColor(const QImage& I) {
    for (int Y = I.height() / 2 - 2; Y <= I.height() / 2 + 2; ++Y)
      if (I.pixelColor(I.width() / 2, Y) != QColor(Qt::white)) return I.pixelColor(I.width() / 2, Y);
    return Qt::white;
  }

  TempDir Dir_, Scratch_, Tmp_;
};

TEST_F(RenderCommand, PngOfTheSheetInEachColourScheme) {
  struct Case {
    const char* Colors;
    QColor Line;
  };
  for (const Case& C : {Case{"screen", Qt::black}, Case{"print", QColor(255, 0, 0)}, Case{"black", Qt::black}}) {
    SCOPED_TRACE(C.Colors);
    const ProcessResult R = Cli({"render", "--width", "594", "--colors", C.Colors, P("plan.jww"), P("plan.png")});
    ASSERT_EQ(R.Exit, 0) << R.Err;
    EXPECT_EQ(R.Err, "") << "Qt's notes stay quiet";
    const QImage I = Picture("plan.png");
    EXPECT_EQ(I.size(), QSize(594, 420));
    EXPECT_EQ(LineColor(I), C.Line);
  }
}

TEST_F(RenderCommand, SvgAndPdf) {
  ASSERT_EQ(Cli({"render", P("plan.jww"), P("plan.svg")}).Exit, 0);
  const auto Svg = ReadFileBytes(Dir_ / "plan.svg");
  const std::string SvgText(Svg.begin(), Svg.end());
  EXPECT_NE(SvgText.find("<svg"), std::string::npos);
  EXPECT_NE(SvgText.find("width=\"2000\""), std::string::npos) << "the default width";

  ASSERT_EQ(Cli({"render", P("plan.jww"), P("PLAN.PDF")}).Exit, 0);
  const auto Pdf = ReadFileBytes(Dir_ / "PLAN.PDF");
  const QString PdfText =
      QString::fromLatin1(reinterpret_cast<const char*>(Pdf.data()), static_cast<qsizetype>(Pdf.size()));
  ASSERT_TRUE(PdfText.startsWith(QStringLiteral("%PDF")));
  // One page of A4 landscape at 1:1: 297 x 210 mm in points.
  const QRegularExpressionMatch Box =
      QRegularExpression(QStringLiteral("/MediaBox \\[\\s*0 0 ([0-9.]+) ([0-9.]+)\\s*\\]")).match(PdfText);
  ASSERT_TRUE(Box.hasMatch());
  EXPECT_NEAR(Box.captured(1).toDouble(), 297 / 25.4 * 72, 1);
  EXPECT_NEAR(Box.captured(2).toDouble(), 210 / 25.4 * 72, 1);
}

TEST_F(RenderCommand, SettingsConvertInMemoryOnly) {
  TConvSettings S;
  S.ColorMap[static_cast<std::size_t>(ColorRowOf(2))] = 6;  // pen 2 becomes pen 6 (blue)
  ASSERT_TRUE(WriteSettingsFile(U16(Dir_ / "blue.set"), S));
  const auto Before = ReadFileBytes(Dir_ / "plan.jww");
  const ProcessResult R = Cli({"render", "--width", "594", "--settings", P("blue.set"), P("plan.jww"), P("after.png")});
  ASSERT_EQ(R.Exit, 0) << R.Err;
  EXPECT_EQ(LineColor(Picture("after.png")), QColor(0, 0, 255));
  EXPECT_EQ(ReadFileBytes(Dir_ / "plan.jww"), Before);
  EXPECT_EQ(Files(), (std::vector<std::string>{"after.png", "blue.set", "plan.jww"})) << "nothing else is written";
  EXPECT_TRUE(fs::is_empty(Tmp_.path())) << "the working folder is gone";

  const ProcessResult Comb =
      Cli({"render", "--settings", P("blue.set"), "--mode", "combination", P("plan.jww"), P("comb.png")});
  EXPECT_EQ(Comb.Exit, 1);
  EXPECT_NE(Comb.Err.find("変換指定が行われていません"), std::string::npos) << Comb.Err;
  EXPECT_FALSE(fs::exists(Dir_ / "comb.png"));
}

TEST_F(RenderCommand, Failures) {
  testsupport::WriteFileBytes(Dir_ / "bad.set", {'[', 'J', 'W', 'W', ']', '\n', 'C', '1', '=', 'x', '\n'});
  testsupport::WriteFileBytes(Dir_ / "not.jww", {'n', 'o', 't'});
  struct Case {
    const char* What;
    std::vector<std::string> Args;
    int Exit;
  };
  const Case Cases[] = {
      {"unknown picture type", {"render", P("plan.jww"), P("plan.jpg")}, 1},
      {"not a drawing", {"render", P("not.jww"), P("x.png")}, 1},
      {"missing drawing", {"render", P("none.jww"), P("x.png")}, 1},
      {"folder that does not exist", {"render", P("plan.jww"), P("no/x.png")}, 1},
      {"settings that cannot be read", {"render", "--settings", P("none.set"), P("plan.jww"), P("x.png")}, 2},
      {"width out of range", {"render", "--width", "0", P("plan.jww"), P("x.png")}, 105},
  };
  for (const Case& C : Cases) {
    const ProcessResult R = Cli(C.Args);
    EXPECT_EQ(R.Exit, C.Exit) << C.What << ": " << R.Err;
    EXPECT_FALSE(R.Err.empty()) << C.What;
  }
  EXPECT_EQ(Files(), (std::vector<std::string>{"bad.set", "not.jww", "plan.jww"}));
}

TEST_F(RenderCommand, OtherSubcommandsNeedNoDisplayEither) {
  const ProcessResult R = Cli({"info", P("plan.jww")});
  EXPECT_EQ(R.Exit, 0) << R.Err;
  EXPECT_NE(R.Out.find("version: 700"), std::string::npos) << R.Out;
}

}  // namespace
