// The settings dialog over the program's settings: showing, range setting,
// the input check, OK and Cancel with their messages, and settings files.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "UiTestSupport.h"
#include "conversion/SettingsDialogModel.h"
#include "conversion/SettingsFile.h"
#include "ui/QtText.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"

namespace {

QString CellOf(const QTableWidget* Grid, int Row, int Column) { return Grid->item(Row - 1, Column)->text(); }
void SetCell(QTableWidget* Grid, int Row, int Column, const QString& Text) {
  Grid->item(Row - 1, Column)->setText(Text);
}

// Rows From .. To selected as the user does it: the cursor on From, then
// Shift and the down arrow.
void SelectRows(QTableWidget* Grid, int Column, int From, int To) {
  Grid->setFocus();
  Grid->setCurrentCell(From - 1, Column);
  for (int Row = From; Row < To; ++Row) QTest::keyClick(Grid, Qt::Key_Down, Qt::ShiftModifier);
}

void TypeInto(QLineEdit* Edit, const QString& Text) {
  Edit->clear();
  QTest::keyClicks(Edit, Text);
}

TConvSettings SampleSettings() {
  TConvSettings S;
  S.ColorMap[3] = 105;
  S.WidthMap[2] = 50;
  S.LtypeMap[1] = 2;
  S.OptFlags[OptWidthOverwrite] = 1;
  S.OptFlags[OptSolidColor] = 7;  // any value but 0 ticks the box
  S.ConvMode = kModeCombination;
  S.CombRows[2] = {true, 9, 18, 3, 0, 40};
  S.RecomputeVerRaise();
  return S;
}

}  // namespace

class SettingsDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TRecordingPrompts> Prompts_;
  std::unique_ptr<TConvSettings> Settings_;
  std::unique_ptr<TForm3> Form3_;

  void Open(const TConvSettings& S) {
    *Settings_ = S;
    Form3_->show();
  }

 private slots:
  void init() {
    Prompts_ = std::make_unique<TRecordingPrompts>();
    Settings_ = std::make_unique<TConvSettings>();
    Form3_ = std::make_unique<TForm3>(*Settings_, nullptr);
  }
  void cleanup() {
    Form3_.reset();
    Settings_.reset();
    Prompts_.reset();
  }

  void showingCopiesTheSettingsIn() {
    Open(SampleSettings());
    QCOMPARE(Form3_->windowTitle(), QStringLiteral("変換設定"));
    QCOMPARE(Form3_->size(), QSize(697, 554));
    QCOMPARE(Form3_->StringGrid1->rowCount(), 265);
    QCOMPARE(Form3_->StringGrid2->rowCount(), 49);
    QCOMPARE(CellOf(Form3_->StringGrid1, 10, 0), QStringLiteral("SXF 1:black"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 265, 0), QStringLiteral("SXF USER定義線色 256"));
    QCOMPARE(CellOf(Form3_->StringGrid2, 49, 0), QStringLiteral("SXF USER定義線種 32"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 3, 1), QStringLiteral("105"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 2, 2), QStringLiteral("50"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 1, 2), QStringLiteral("-1"));
    QCOMPARE(CellOf(Form3_->StringGrid2, 1, 1), QStringLiteral("2"));
    QVERIFY(Form3_->CheckBox[OptWidthOverwrite]->isChecked());
    QVERIFY(Form3_->CheckBox[OptSolidColor]->isChecked());
    QVERIFY(!Form3_->CheckBox[OptMojiTypeColor]->isChecked());
    QCOMPARE(Form3_->PageControl1->currentIndex(), 1);
    TFram* Row2 = Form3_->Fram[2];
    QVERIFY(Row2->CheckBox1->isChecked());
    QCOMPARE(Row2->CB1->count(), 265);
    QCOMPARE(Row2->CB1->currentText(), QStringLiteral("SXF 1:black"));
    QCOMPARE(Row2->CB2->currentText(), QStringLiteral("SXF 1:実線"));
    QCOMPARE(Row2->Edit3->text(), QStringLiteral("40"));
    QCOMPARE(Row2->Edit3->maxLength(), 6);
    QVERIFY(!Form3_->Fram[1]->CheckBox1->isChecked());
    QCOMPARE(Form3_->Fram[1]->Edit3->text(), QStringLiteral("-1"));
  }

  void rangeSetting_data() {
    QTest::addColumn<int>("button");  // 1 colour, 2 line type, 3 width
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");  // empty: refused with a beep
    QTest::newRow("colour 105") << 1 << "105"
                                << "105";
    QTest::newRow("colour 10 refused") << 1 << "10"
                                       << "";
    QTest::newRow("not a number reads 0") << 1 << "abc"
                                          << "0";
    QTest::newRow("width -1") << 3 << "-1"
                              << "-1";
    QTest::newRow("width -2 refused") << 3 << "-2"
                                      << "";
    QTest::newRow("width 30001 refused") << 3 << "30001"
                                         << "";
    QTest::newRow("line type 46") << 2 << "46"
                                  << "46";
    QTest::newRow("line type 20 refused") << 2 << "20"
                                          << "";
  }
  void rangeSetting() {
    QFETCH(int, button);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Open(TConvSettings{});
    QTableWidget* Grid = button == 2 ? Form3_->StringGrid2 : Form3_->StringGrid1;
    const int Column = button == 3 ? 2 : 1;
    QLineEdit* Edit = button == 1 ? Form3_->Edit1 : (button == 2 ? Form3_->Edit2 : Form3_->Edit3);
    QPushButton* Set = button == 1 ? Form3_->Button1 : (button == 2 ? Form3_->Button2 : Form3_->Button3);
    const QString Before = CellOf(Grid, 3, Column);
    SelectRows(Grid, Column, 3, 7);
    TypeInto(Edit, typed);
    QTest::mouseClick(Set, Qt::LeftButton);
    if (expected.isEmpty()) {
      QCOMPARE(Prompts_->Beeps, 1);
      QCOMPARE(Form3_->focusWidget(), Edit);
      for (int Row = 3; Row <= 7; ++Row) QCOMPARE(CellOf(Grid, Row, Column), Before);
      return;
    }
    QCOMPARE(Prompts_->Beeps, 0);
    QCOMPARE(Edit->text(), expected);
    for (int Row = 3; Row <= 7; ++Row) QCOMPARE(CellOf(Grid, Row, Column), expected);
    QCOMPARE(CellOf(Grid, 2, Column), Before);
    QCOMPARE(CellOf(Grid, 8, Column), Before);
  }

  void inputFaultBeepsAndMovesFocus_data() {
    QTest::addColumn<int>("place");  // TInputFault::TPlace
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");  // grid column, or the row's edit field 1 .. 3
    QTest::addColumn<QString>("text");
    QTest::newRow("colour cell 10") << int(TInputFault::ColorGrid) << 5 << 1 << "10";
    QTest::newRow("width cell 30001") << int(TInputFault::ColorGrid) << 200 << 2 << "30001";
    QTest::newRow("line type cell 20") << int(TInputFault::LtypeGrid) << 3 << 1 << "20";
    QTest::newRow("row colour 357") << int(TInputFault::CombRow) << 4 << 1 << "357";
    QTest::newRow("row line type 10") << int(TInputFault::CombRow) << 7 << 2 << "10";
    QTest::newRow("row width -5") << int(TInputFault::CombRow) << 10 << 3 << "-5";
  }
  void inputFaultBeepsAndMovesFocus() {
    QFETCH(int, place);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    Open(TConvSettings{});
    // The page not holding the fault shows, so the check has to turn it.
    const bool InRow = place == TInputFault::CombRow;
    Form3_->PageControl1->setCurrentIndex(InRow ? 0 : 1);
    QTableWidget* Grid = place == TInputFault::LtypeGrid ? Form3_->StringGrid2 : Form3_->StringGrid1;
    if (InRow) Form3_->Fram[row]->Edit(column)->setText(text);
    else SetCell(Grid, row, column, text);
    SetCell(Form3_->StringGrid1, 1, 1, "");  // passed on the way: rewritten as 0

    QTest::mouseClick(Form3_->Button6, Qt::LeftButton);
    QVERIFY(Form3_->isVisible());
    QVERIFY(!Form3_->OKflag);
    QCOMPARE(Prompts_->Beeps, 1);
    QVERIFY(Prompts_->Messages.isEmpty());
    QCOMPARE(*Settings_, TConvSettings{});
    QCOMPARE(Form3_->PageControl1->currentIndex(), InRow ? 1 : 0);
    QCOMPARE(CellOf(Form3_->StringGrid1, 1, 1), QStringLiteral("0"));
    if (InRow) {
      QCOMPARE(Form3_->focusWidget(), Form3_->Fram[row]->Edit(column));
      QCOMPARE(Form3_->Fram[row]->Edit(column)->text(), text);
    } else {
      QCOMPARE(Form3_->focusWidget(), Grid);
      QCOMPARE(Grid->currentRow(), row - 1);
      QCOMPARE(Grid->currentColumn(), column);
    }
  }

  void okWritesSettingsWithItsNotice_data() {
    QTest::addColumn<QString>("colour3");
    QTest::addColumn<QString>("width3");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("verRaise");
    QTest::addColumn<QString>("notice");
    QTest::newRow("nothing raised") << "2"
                                    << "-1" << 0 << 0 << "";
    QTest::newRow("empty width is the basic width") << "2"
                                                    << "" << 0 << 0 << "";
    QTest::newRow("a width") << "2"
                             << "50" << 0 << 1 << Q(kNoticeVer351);
    QTest::newRow("an SXF colour") << "101"
                                   << "50" << 1 << 2 << Q(kNoticeVer420);
  }
  void okWritesSettingsWithItsNotice() {
    QFETCH(QString, colour3);
    QFETCH(QString, width3);
    QFETCH(int, page);
    QFETCH(int, verRaise);
    QFETCH(QString, notice);
    TConvSettings Before;
    Before.SetFileName = u"/kept/name.set";
    Open(Before);
    SetCell(Form3_->StringGrid1, 3, 1, colour3);
    SetCell(Form3_->StringGrid1, 3, 2, width3);
    Form3_->CheckBox[OptBlockLtype]->setChecked(true);
    Form3_->Fram[5]->CheckBox1->setChecked(true);
    Form3_->Fram[5]->CB1->setCurrentIndex(9);
    Form3_->Fram[5]->Edit3->setText("abc");  // reads as 0, the basic width
    Form3_->PageControl1->setCurrentIndex(page);
    QTest::mouseClick(Form3_->Button6, Qt::LeftButton);

    QVERIFY(Form3_->OKflag);
    QVERIFY(!Form3_->isVisible());
    QCOMPARE(Settings_->ColorMap[3], TextToIntOf(colour3));
    QCOMPARE(Settings_->WidthMap[3], TextToIntOf(width3));
    QCOMPARE(Settings_->OptFlags[OptBlockLtype], 1);
    QCOMPARE(Settings_->ConvMode, page);
    QCOMPARE(Settings_->CombRows[5], (TCombRow{true, 9, 0, 0, 0, 0}));
    QCOMPARE(Settings_->VerRaise, verRaise);
    QCOMPARE(Q(Settings_->SetFileName), QStringLiteral("/kept/name.set"));
    if (notice.isEmpty()) {
      QVERIFY(Prompts_->Messages.isEmpty());
    } else {
      QCOMPARE(Prompts_->MessageTexts(), QStringList{notice});
      QCOMPARE(int(Prompts_->Messages.front().Icon), int(TMessageIcon::Information));
    }
  }

  void cancelLeavesSettings() {
    const TConvSettings Before = SampleSettings();
    Open(Before);
    SetCell(Form3_->StringGrid1, 1, 1, "7");
    Form3_->Fram[1]->CheckBox1->setChecked(true);
    Form3_->PageControl1->setCurrentIndex(0);
    QTest::mouseClick(Form3_->Button7, Qt::LeftButton);
    QVERIFY(!Form3_->OKflag);
    QVERIFY(!Form3_->isVisible());
    QCOMPARE(*Settings_, Before);
    // The next showing starts from the settings again.
    Form3_->show();
    QCOMPARE(CellOf(Form3_->StringGrid1, 1, 1), QStringLiteral("0"));
  }

  void settingsFileSavedAndOpenedAgain() {
    QTemporaryDir Dir;
    const QString File = Dir.filePath("mine.set");
    Open(SampleSettings());
    SetCell(Form3_->StringGrid1, 265, 2, "300");
    Form3_->Fram[10]->CheckBox1->setChecked(true);
    Form3_->Fram[10]->Edit1->setText("9");
    Prompts_->Answers = QStringList{File};
    QTest::mouseClick(Form3_->Button4, Qt::LeftButton);
    QCOMPARE(Prompts_->Asked.size(), 1);
    QCOMPARE(Prompts_->Asked[0].Title, QStringLiteral("現在の設定を保存"));
    QCOMPARE(Prompts_->Asked[0].Filter, QStringLiteral("設定ファイル(*.set)"));
    QVERIFY(Prompts_->Asked[0].Save);
    QCOMPARE(Q(Settings_->SetFileName), File);
    QVERIFY(QFileInfo::exists(File));
    TConvSettings Stored;
    QVERIFY(ReadSettingsFile(U(File), Stored));
    QCOMPARE(Stored.WidthMap[265], 300);

    // Saving changed nothing but the name; opening brings the file back.
    TConvSettings Expected = SampleSettings();
    Expected.SetFileName = U(File);
    QCOMPARE(*Settings_, Expected);
    Form3_->hide();
    Form3_->show();
    QCOMPARE(CellOf(Form3_->StringGrid1, 265, 2), QStringLiteral("-1"));
    Prompts_->Answers = QStringList{File};
    QTest::mouseClick(Form3_->Button5, Qt::LeftButton);
    QCOMPARE(Prompts_->Asked[1].Title, QStringLiteral("保存した設定ファイルを開く"));
    QCOMPARE(Prompts_->Asked[1].Start, File);
    QVERIFY(!Prompts_->Asked[1].Save);
    QCOMPARE(CellOf(Form3_->StringGrid1, 265, 2), QStringLiteral("300"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 3, 1), QStringLiteral("105"));
    QVERIFY(Form3_->Fram[10]->CheckBox1->isChecked());
    QCOMPARE(Form3_->Fram[10]->Edit1->text(), QStringLiteral("9"));
    QCOMPARE(Form3_->PageControl1->currentIndex(), 1);
    QCOMPARE(*Settings_, Expected);  // only OK takes it over
  }

  void openingUnreadableFileLeavesResetControls() {
    Open(SampleSettings());
    Prompts_->Answers = QStringList{"/no/such/file.set"};
    QTest::mouseClick(Form3_->Button5, Qt::LeftButton);
    QCOMPARE(CellOf(Form3_->StringGrid1, 3, 1), QStringLiteral("0"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 2, 2), QStringLiteral("-1"));
    QVERIFY(!Form3_->Fram[2]->CheckBox1->isChecked());
    QCOMPARE(Form3_->PageControl1->currentIndex(), 1);  // the showing page stays
    QCOMPARE(Q(Settings_->SetFileName), QStringLiteral("/no/such/file.set"));
  }

  void cancelledFileBoxesChangeNothing() {
    Open(SampleSettings());
    QTest::mouseClick(Form3_->Button4, Qt::LeftButton);
    QTest::mouseClick(Form3_->Button5, Qt::LeftButton);
    QCOMPARE(Prompts_->Asked.size(), 2);
    QCOMPARE(CellOf(Form3_->StringGrid1, 3, 1), QStringLiteral("105"));
    QCOMPARE(*Settings_, SampleSettings());
  }

  void saveChecksInputFirst() {
    Open(TConvSettings{});
    SetCell(Form3_->StringGrid2, 2, 1, "63");
    QTest::mouseClick(Form3_->Button4, Qt::LeftButton);
    QCOMPARE(Prompts_->Beeps, 1);
    QVERIFY(Prompts_->Asked.isEmpty());
    QCOMPARE(Form3_->focusWidget(), Form3_->StringGrid2);
  }

 private:
  static std::int32_t TextToIntOf(const QString& Text) { return Text.isEmpty() ? 0 : Text.toInt(); }
};

QTEST_MAIN(SettingsDialogTest)
#include "SettingsDialogTest.moc"
