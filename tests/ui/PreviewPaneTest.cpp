// The preview pane: the selected file's picture, as it is and as the
// settings would convert it, the reason when a file does not show, stale
// pictures dropped, zoom, pan and fit; and the pane beside the main window's
// file list.
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "UiTestSupport.h"
#include "conversion/SettingsFile.h"
#include "display/DrawingStyle.h"
#include "documents/JwwUnit.h"
#include "ui/FileListView.h"
#include "ui/PreviewPane.h"
#include "ui/QtText.h"
#include "ui/Unit1.h"

namespace {

constexpr int kTimeout = 20000;

// An A4 drawing with a thick line of pen Color across its middle.
void WriteDrawing(const QString& Path, int Color) {
  TJwwData D;
  D.SizeHeaderTables();
  D.Enthd.nZumen = 4;
  for (TEntJwwLayerGroup& G : D.EntLgrp) G.anGLay = 2;
  for (TEntJwwLayer& L : D.EntLay) L.aanLay = 2;
  const std::int32_t Pens[10] = {0xFFFFFF, 0xC0C000, 0x000000, 0x00C000, 0x00C0C0,
                                 0xC000C0, 0xFF0000, 0x808000, 0x8000FF, 0xC0C0C0};
  for (std::size_t K = 0; K < 10; ++K) D.EntCol[K] = {Pens[K], 1, Pens[K], 1, 0.5};
  D.EntNo.push_back({kLine, 0});
  TEntJwwLine& L = D.EntLine.emplace_back();
  L.att.nPenColor = static_cast<std::uint16_t>(Color);
  L.att.nPenStyle = 1;
  L.att.nPenWidth = 300;
  L.start_x = -140, L.end_x = 140;
  QVERIFY(D.FileOut(U(Path), 700));
}

// The colour of the picture's middle.
QColor Middle(const TPreviewPane& Pane) {
  const QImage& I = Pane.Picture();
  return I.isNull() ? QColor() : I.pixelColor(I.width() / 2, I.height() / 2);
}

bool WaitShown(const TPreviewPane& Pane) {
  return QTest::qWaitFor([&] { return !Pane.Busy(); }, kTimeout);
}

}  // namespace

class PreviewPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    Dir_ = std::make_unique<QTemporaryDir>();
    WriteDrawing(Path("black.jww"), 2);
    WriteDrawing(Path("green.jww"), 3);
    Pane_ = std::make_unique<TPreviewPane>([this] { return Settings_; }, U(Dir_->filePath("TEMP/")));
    Pane_->resize(400, 320);
    Pane_->show();
    QVERIFY(QTest::qWaitForWindowExposed(Pane_.get()));
  }
  void cleanup() {
    Pane_.reset();
    QVERIFY2(!QDir(Dir_->filePath("TEMP/preview")).exists(), "the pane's image folder is removed");
  }

  void showsTheFileAsItIs() {
    Pane_->ShowFile(Path("black.jww"));
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Middle(*Pane_), QColor(Qt::black));
    QVERIFY(Pane_->Reason().isEmpty());
    QCOMPARE(Pane_->Picture().size(), Pane_->Canvas()->size() * Pane_->devicePixelRatioF());
  }

  void showsTheFileAsTheSettingsWouldConvertIt() {
    Settings_.ColorMap[static_cast<std::size_t>(ColorRowOf(2))] = 6;
    const QByteArray Before = Read("black.jww");
    Pane_->ShowFile(Path("black.jww"));
    QVERIFY(WaitShown(*Pane_));
    QTest::mouseClick(Pane_->AfterButton, Qt::LeftButton);
    QVERIFY(Pane_->Converted());
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Middle(*Pane_), QColor(0, 0, 255));
    // Settings changed in the dialog: drawn again with the new ones.
    Settings_.ColorMap[static_cast<std::size_t>(ColorRowOf(2))] = 3;
    Pane_->SettingsChanged();
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Middle(*Pane_), QColor(0, 192, 0));
    QTest::mouseClick(Pane_->BeforeButton, Qt::LeftButton);
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Middle(*Pane_), QColor(Qt::black));
    QCOMPARE(Read("black.jww"), Before);
    QCOMPARE(QDir(Dir_->path()).entryList(QDir::Files), QStringList({"black.jww", "green.jww"}));
  }

  void aFileThatDoesNotLoadShowsWhy() {
    WriteFile(Dir_->path(), "broken.jww", 40);
    WriteFile(Dir_->path(), "notes.txt", 10);
    const struct {
      const char* Name;
      const char16_t* Reason;
    } Cases[] = {{"broken.jww", kPreviewNotRecognised}, {"notes.txt", kPreviewNotDrawing}};
    for (const auto& C : Cases) {
      Pane_->ShowFile(Path(C.Name));
      QVERIFY(WaitShown(*Pane_));
      QVERIFY(Pane_->Picture().isNull());
      QCOMPARE(Pane_->Reason(), Q(C.Reason));
    }
    Settings_.ConvMode = kModeCombination;  // without a row: the run would refuse
    Pane_->ShowFile(Path("black.jww"));
    Pane_->SetConverted(true);
    QVERIFY(WaitShown(*Pane_));
    QVERIFY(Pane_->Picture().isNull());
    QVERIFY(Pane_->Reason().contains(QStringLiteral("変換指定が行われていません")));
  }

  void aPictureOfAFileNoLongerSelectedIsDropped() {
    QSignalSpy Shown(Pane_.get(), &TPreviewPane::PictureShown);
    Pane_->ShowFile(Path("black.jww"));
    Pane_->ShowFile(Path("green.jww"));
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Pane_->File(), Path("green.jww"));
    QCOMPARE(Middle(*Pane_), QColor(0, 192, 0));
    QCOMPARE(Shown.count(), 1);
  }

  void wheelZoomsAboutTheCursorDragPansFitRestores() {
    Pane_->ShowFile(Path("black.jww"));
    QVERIFY(WaitShown(*Pane_));
    const QRectF Whole = Pane_->PictureWorld();
    QWidget* Canvas = Pane_->Canvas();
    const QPointF At(Canvas->width() / 4.0, Canvas->height() / 2.0);
    QWheelEvent Wheel(At, Canvas->mapToGlobal(At), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Canvas, &Wheel);
    QVERIFY(WaitShown(*Pane_));
    const QRectF Near = Pane_->PictureWorld();
    QVERIFY(qAbs(Near.width() - Whole.width() / (1.25 * 1.25)) < 0.01);
    // The paper point under the cursor stays under it.
    const double X0 = Whole.left() + At.x() * Whole.width() / Canvas->width();
    const double X1 = Near.left() + At.x() * Near.width() / Canvas->width();
    QVERIFY(qAbs(X0 - X1) < 0.01);
    QTest::mousePress(Canvas, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(Canvas, QPoint(150, 100));
    QTest::mouseRelease(Canvas, Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(WaitShown(*Pane_));
    const double Mm = 50 * Near.width() / Canvas->width();
    QVERIFY(qAbs(Pane_->PictureWorld().left() - (Near.left() - Mm)) < 0.01);
    QTest::mouseClick(Pane_->FitButton, Qt::LeftButton);
    QVERIFY(WaitShown(*Pane_));
    QCOMPARE(Pane_->PictureWorld(), Whole);
  }

  void theMainWindowShowsTheSelectedFileBesideItsList() {
    TProgramHome Home;
    TIniState Ini;
    Ini.preFolder = U(Dir_->path());
    Ini.Form1Width = 800;  // room for the command area beside a 150-pixel tree
    Ini.Panel1Width = 150;
    Home.WriteIni(Ini);
    TRecordingPrompts Prompts;
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->Splitter1->sizes().value(0), 150);
    QCOMPARE(Form1->Splitter2->widget(0), Form1->ListView1);
    QCOMPARE(Form1->Splitter2->widget(1), Form1->PreviewPane1);
    TFileListView* List = Form1->ListView1;
    int Row = -1;
    for (int R = 0; R < List->rowCount(); ++R)
      if (List->Caption(R) == QStringLiteral("green.jww")) Row = R;
    QVERIFY(Row >= 0);
    List->selectRow(Row);
    QVERIFY(WaitShown(*Form1->PreviewPane1));
    QCOMPARE(Form1->PreviewPane1->File(), Path("green.jww"));
    QCOMPARE(Middle(*Form1->PreviewPane1), QColor(0, 192, 0));
    List->clearSelection();
    QCOMPARE(Form1->PreviewPane1->File(), QString());
  }

 private:
  QString Path(const QString& Name) const { return Dir_->filePath(Name); }
  QByteArray Read(const QString& Name) const {
    QFile F(Path(Name));
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
  }

  std::unique_ptr<QTemporaryDir> Dir_;
  TConvSettings Settings_;
  std::unique_ptr<TPreviewPane> Pane_;
};

QTEST_MAIN(PreviewPaneTest)
#include "PreviewPaneTest.moc"
