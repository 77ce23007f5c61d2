// Hostile geometry draws nothing wrong and always comes to an end: values
// that are not numbers or lie far beyond any sheet, degenerate shapes,
// blocks that contain themselves or multiply out, image names that point
// outside the working folder.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "common/TestSupport.h"
#include "display/DisplayFixtures.h"
#include "display/DrawingImages.h"

namespace {

using namespace displayfix;
using convfixtures::AddRecord;
using convfixtures::Pen;

const QColor kWhite(255, 255, 255);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct HostileCase {
  const char* What;
  std::function<void(TJwwData&)> Add;
  bool Ink;  // whether something must show on the sheet
};

TEntJwwEnko& AddArc(TJwwData& D, double Cx, double Cy, double R, double Sweep) {
  TEntJwwEnko& E = AddRecord(D.EntNo, D.EntEnko, kEnko, Pen(2, 1));
  E.start_x = Cx, E.start_y = Cy, E.dHankei = R, E.dHenpeiRitsu = 1, E.radEnkoKaku = Sweep;
  return E;
}

TEntJwwMoji& AddText(TJwwData& D, double Size, std::u16string S) {
  TEntJwwMoji& M = AddRecord(D.EntNo, D.EntMoji, kMoji, Pen(2, 1));
  M.dSizeX = M.dSizeY = Size, M.end_x = 10, M.str = std::move(S);
  return M;
}

TEntJwwSolid& AddSolid(TJwwData& D, double X, double Y) {
  TEntJwwSolid& S = AddRecord(D.EntNo, D.EntSolid, kSolid, Pen(2, 1));
  S.start_x = S.end_x = S.DPoint2_x = S.DPoint3_x = X;
  S.start_y = S.end_y = S.DPoint2_y = S.DPoint3_y = Y;
  return S;
}

// Definition 1 holds a line and Copies inserts of definition Next, at the
// same place and size.
void AddDefinition(TJwwData& D, std::uint32_t Number, std::uint32_t Next, int Copies) {
  TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
  Def.nNumber = Number;
  AddRecord(Def.mNo, Def.mLine, kLine, Pen(2, 1)).end_x = 50;
  for (int I = 0; I < Copies; ++I) {
    TEntJwwBlock& B = AddRecord(Def.mNo, Def.mBlock, kBlock, Pen(2, 1));
    B.nNumber = Next, B.dBairitsuX = B.dBairitsuY = 1;
  }
}

void InsertDefinition(TJwwData& D, std::uint32_t Number) {
  TEntJwwBlock& B = AddRecord(D.EntNo, D.EntBlock, kBlock, Pen(2, 1));
  B.nNumber = Number, B.dBairitsuX = B.dBairitsuY = 1;
}

const HostileCase kCases[] = {
    {"line with NaN", [](TJwwData& D) { AddLine(D, Pen(2, 1), kNaN, 0, 10, 10); }, false},
    {"line to infinity", [](TJwwData& D) { AddLine(D, Pen(2, 1), 0, 0, kInf, 10); }, false},
    {"line beyond all numbers", [](TJwwData& D) { AddLine(D, Pen(2, 1), -1e300, 0, 1e300, 0); }, false},
    {"dashed line a hundred million km long", [](TJwwData& D) { AddLine(D, Pen(2, 2), -1e11, 0, 1e11, 0); }, true},
    {"arc of radius 1e300", [](TJwwData& D) { AddArc(D, 0, 0, 1e300, 1); }, false},
    {"arc of NaN sweep", [](TJwwData& D) { AddArc(D, 0, 0, 10, kNaN); }, false},
    {"dashed arc of radius 1e11 touching the centre",
     [](TJwwData& D) { AddArc(D, 0, 1e11, 1e11, 2 * std::numbers::pi).att.nPenStyle = 2; }, true},
    {"arc flattened to nothing", [](TJwwData& D) { AddArc(D, 0, 0, 10, 6).dHenpeiRitsu = 0; }, true},
    {"text of size 0", [](TJwwData& D) { AddText(D, 0, u"文字"); }, false},
    {"text of size 1e10", [](TJwwData& D) { AddText(D, 1e10, u"文字"); }, false},
    {"text of NaN size", [](TJwwData& D) { AddText(D, kNaN, u"文字"); }, false},
    {"text of NaN angle", [](TJwwData& D) { AddText(D, 5, u"文字").degKakudo = kNaN; }, false},
    {"text with a gap of 1e11", [](TJwwData& D) { AddText(D, 5, u"文字文字").dKankaku = 1e11; }, true},
    {"text of a million characters", [](TJwwData& D) { AddText(D, 0.5, std::u16string(1'000'000, u'字')); }, true},
    {"text of lone surrogates", [](TJwwData& D) { AddText(D, 5, u"\xD800\xDC00\xDFFF\xD800"); }, true},
    {"solid folded to a point", [](TJwwData& D) { AddSolid(D, 10, 10); }, false},
    {"solid with NaN", [](TJwwData& D) { AddSolid(D, 10, 10).DPoint2_x = kNaN; }, false},
    {"arc solid of NaN radius",
     [](TJwwData& D) {
       TEntJwwSolid& S = AddSolid(D, 0, 0);
       S.att.nPenStyle = 101, S.end_x = kNaN, S.end_y = 1, S.DPoint3_x = 1;
     },
     false},
    {"ring of huge inner radius",
     [](TJwwData& D) {
       TEntJwwSolid& S = AddSolid(D, 0, 0);
       S.att.nPenStyle = 105, S.end_x = 10, S.end_y = 1, S.DPoint3_x = 6, S.DPoint3_y = 1e11;
     },
     true},
    {"block that inserts itself",
     [](TJwwData& D) {
       AddDefinition(D, 1, 1, 2);
       InsertDefinition(D, 1);
     },
     true},
    {"blocks that multiply out ten-fold over nine levels",
     [](TJwwData& D) {
       for (std::uint32_t K = 1; K <= 9; ++K) AddDefinition(D, K, K + 1, 10);
       InsertDefinition(D, 1);
     },
     true},
    {"insert scaled by NaN",
     [](TJwwData& D) {
       AddDefinition(D, 1, 99, 0);
       InsertDefinition(D, 1);
       D.EntBlock[0].dBairitsuY = kNaN;
     },
     false},
    {"insert of a missing definition", [](TJwwData& D) { InsertDefinition(D, 5); }, false},
    {"image of no size", [](TJwwData& D) { AddText(D, 5, u"^@BM%temp%a.png,0,0"); }, false},
    {"image of NaN size", [](TJwwData& D) { AddText(D, 5, u"^@BM%temp%a.png,nan,inf"); }, false},
};

class HostileGeometry : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileGeometry, DrawsNothingWrongAndEnds) {
  TJwwData D;
  InitA4(D);
  GetParam().Add(D);
  D.MakeBlockTree();
  for (const TColorScheme Scheme : {TColorScheme::Screen, TColorScheme::Print}) {
    TRenderOptions O;
    O.Colors = Scheme;
    O.PrinterWidths = Scheme == TColorScheme::Print;
    const TDrawingRenderer R(D, O);
    const QRectF Fit = R.FitRect();
    EXPECT_TRUE(std::isfinite(Fit.width()) && std::isfinite(Fit.height()) && Fit.width() > 0);
    const QImage I = RenderImage(R, 600);
    EXPECT_EQ(!InkBounds(I, kWhite).isEmpty(), GetParam().Ink);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileGeometry, testing::ValuesIn(kCases), [](const auto& Info) {
  std::string Name;
  for (const char C : std::string(Info.param.What)) Name += std::isalnum(static_cast<unsigned char>(C)) ? C : '_';
  return Name;
});

// ---- Bound images ----

class BoundImages : public testing::Test {
 protected:
  void SetUp() override {
    InitA4(D_);
    D_.BindImageFolder = Work_.u16();
  }
  void WriteImage(const std::filesystem::path& Path, QColor Color) const {
    QImage Picture(40, 20, QImage::Format_RGB32);
    Picture.fill(Color);
    ASSERT_TRUE(Picture.save(QString::fromStdString(Path.string()), "PNG"));
  }
  void Place(std::u16string Reference) {
    TEntJwwMoji& M = AddRecord(D_.EntNo, D_.EntMoji, kMoji, Pen(2, 1));
    M.start_x = -20, M.start_y = -10, M.dSizeX = M.dSizeY = 3, M.str = std::move(Reference);
  }
  QImage Render() const {
    TRenderOptions O = NoSmoothing();
    O.ImageFolder = Work_.u16();
    return displayfix::Render(D_, O);
  }
  testsupport::TempDir Work_;
  TJwwData D_;
};

TEST_F(BoundImages, ABoundImageFillsItsPlaceAtItsSize) {
  WriteImage(Work_ / "site.png", QColor(0, 0, 200));
  D_.BindImage.push_back({u"site.png", 100, false});
  Place(u"^@BM%temp%SITE.png,40,20,0,0,1,0");
  const QImage I = Render();
  const QColor Blue(0, 0, 200);
  EXPECT_EQ(I.pixelColor(Px(0, 0).toPoint()), Blue);
  EXPECT_EQ(I.pixelColor(Px(-18, -8).toPoint()), Blue);
  EXPECT_EQ(I.pixelColor(Px(18, 8).toPoint()), Blue);
  EXPECT_EQ(I.pixelColor(Px(22, 0).toPoint()), kWhite);
  EXPECT_EQ(I.pixelColor(Px(0, 12).toPoint()), kWhite);
}

TEST_F(BoundImages, AGzippedBoundImageIsInflated) {
  WriteImage(Work_ / "site.png", QColor(200, 0, 0));
  ASSERT_EQ(std::system(("gzip -n " + (Work_ / "site.png").string()).c_str()), 0);
  D_.BindImage.push_back({u"site.png.gz", 100, false});
  Place(u"^@BM%temp%site.png,40,20");
  EXPECT_EQ(Render().pixelColor(Px(0, 0).toPoint()), QColor(200, 0, 0));
}

TEST_F(BoundImages, NamesWithFolderPartsAreNeverOpened) {
  // The picture sits beside the working folder; the drawing names it with a
  // path that climbs out.
  const std::filesystem::path Outside = Work_.path() / "outside";
  std::filesystem::create_directories(Outside);
  WriteImage(Work_ / "escape.png", QColor(0, 200, 0));
  D_.BindImageFolder = testsupport::U16(Outside) + u"/";
  D_.BindImage.push_back({u"../escape.png", 100, false});
  Place(u"^@BM%temp%../escape.png,40,20");
  TRenderOptions O = NoSmoothing();
  O.ImageFolder = D_.BindImageFolder;
  const TDrawingRenderer R(D_, O);
  EXPECT_TRUE(R.BoundImage(u"^@BM%temp%../escape.png,40,20").isNull());
  const QImage I = displayfix::Render(D_, O);
  EXPECT_EQ(I.pixelColor(Px(0, 0).toPoint()), kWhite) << "only the frame is drawn";
  EXPECT_TRUE(InkNear(I, Px(-20, 0), Qt::black));
}

TEST(ImageReferences, PartsOfTheText) {
  const auto Ref = ParseImageReference(u"^@BM%temp%a b.jpg,120.5,80,0,0,1,0");
  ASSERT_TRUE(Ref);
  EXPECT_EQ(Ref->BoundName(), u"a b.jpg");
  EXPECT_DOUBLE_EQ(Ref->Width, 120.5);
  EXPECT_DOUBLE_EQ(Ref->Height, 80);
  EXPECT_FALSE(ParseImageReference(u"C:\\pic.bmp,1,1")) << "not a reference at all";
  EXPECT_FALSE(ParseImageReference(u"ただの文字"));
  EXPECT_EQ(ParseImageReference(u"^@BMC:\\pic.bmp,1,1")->BoundName(), u"");
  EXPECT_EQ(ParseImageReference(u"^@BM%temp%x.png")->Width, 0) << "no size";
}

}  // namespace
