// Every real drawing and figure draws to PNG, SVG and PDF, its ink inside
// the rectangle the picture is fitted to: the sheet, or the extents of what
// leaves it. Skipped when the real drawings are not available.
#include <gtest/gtest.h>

#include <QPainter>
#include <filesystem>
#include <memory>

#include "common/TestSupport.h"
#include "display/DisplayFixtures.h"
#include "display/DrawingGeometry.h"
#include "display/DrawingRenderer.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "export/DrawingExport.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusDrawings() {
  std::vector<fs::path> Files = testsupport::CorpusFiles("jww", ".jww");
  for (const fs::path& F : testsupport::CorpusFiles("jws", ".jws")) Files.push_back(F);
  return Files;
}

// The picture of Fit with a tenth more on every side; the ink must keep to
// the middle part.
void ExpectInkInside(const TDrawingRenderer& R) {
  const QRectF Fit = R.FitRect();
  const QRectF World = Fit.adjusted(-Fit.width() / 10, -Fit.height() / 10, Fit.width() / 10, Fit.height() / 10);
  const QSize Size = PictureSize(World, 1500);
  QImage I(Size, QImage::Format_RGB32);
  const QRectF Target(QPointF(0, 0), Size);
  {
    QPainter P(&I);
    R.Draw(P, Target, World);
  }
  const QRectF Inner = MappedBounds(FitMap(World, Target), Fit);
  const QRect Ink = displayfix::InkBounds(I, R.Background());
  ASSERT_FALSE(Ink.isEmpty()) << "nothing drawn";
  EXPECT_TRUE(Inner.adjusted(-2, -2, 2, 2).contains(QRectF(Ink)))
      << "ink " << Ink.x() << "," << Ink.y() << " " << Ink.width() << "x" << Ink.height() << " sheet " << Inner.x()
      << "," << Inner.y() << " " << Inner.width() << "x" << Inner.height();
}

template <class TDoc>
void Check(TDoc& Doc, const fs::path& File) {
  testsupport::TempDir Work;
  Doc.BindImageFolder = Work.u16();
  ASSERT_TRUE(Doc.FileIn(testsupport::U16(File)));
  for (const TColorScheme Scheme : {TColorScheme::Screen, TColorScheme::Print}) {
    TRenderOptions O;
    O.Colors = Scheme;
    O.PrinterWidths = Scheme == TColorScheme::Print;
    O.ImageFolder = Work.u16();
    const TDrawingRenderer R(Doc, O);
    ExpectInkInside(R);
    EXPECT_FALSE(PngBytes(R, 800).isEmpty());
    EXPECT_TRUE(SvgBytes(R, 800, QStringLiteral("x")).startsWith("<?xml"));
    EXPECT_TRUE(PdfBytes(R, QStringLiteral("x")).startsWith("%PDF"));
  }
}

TEST(CorpusRender, EveryDrawingAndFigureDrawsInsideItsSheet) {
  const std::vector<fs::path> Files = CorpusDrawings();
  SKIP_WITHOUT_CORPUS(Files);
  for (const fs::path& F : Files) {
    SCOPED_TRACE(F.string());
    if (FileExtLower(testsupport::U16(F)) == u".jws") {
      auto Doc = std::make_unique<TJwsData>();
      Check(*Doc, F);
    } else {
      auto Doc = std::make_unique<TJwwData>();
      Doc->BindImageExp = Doc->BindImageExr = true;
      Check(*Doc, F);
      JwwDataFree(*Doc);
    }
  }
}

}  // namespace
