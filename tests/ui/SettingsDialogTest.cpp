// The settings dialog over the program's settings: showing, range setting,
// the input check, OK and Cancel with their messages, and settings files.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
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

// Typed on the keyboard; text beyond ASCII as a Japanese input method
// commits it.
void TypeInto(QLineEdit* Edit, const QString& Text) {
  Edit->clear();
  bool Ascii = true;
  for (const QChar C : Text) Ascii = Ascii && C.unicode() < 0x80;
  if (Ascii) {
    QTest::keyClicks(Edit, Text);
    return;
  }
  QInputMethodEvent Commit;
  Commit.setCommitString(Text);
  QApplication::sendEvent(Edit, &Commit);
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
    // The design width; as high as the notes need in the fonts in use.
    QCOMPARE(Form3_->width(), 697);
    QVERIFY(Form3_->height() >= 576);
    QCOMPARE(Form3_->size(), Form3_->minimumSize());
    QVERIFY(Form3_->maximumSize().width() > 697 && Form3_->maximumSize().height() > 700);
    QVERIFY(Form3_->LabelMessage->text().isEmpty());
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
    QTest::addColumn<QString>("expected");  // empty: refused with a beep and the message line
    const QString Colours = QStringLiteral("範囲選択した線色: 0～9、101～356 の整数を入力して下さい");
    const QString Widths = QStringLiteral("範囲選択した線幅: -1～30000 の整数を入力して下さい");
    const QString Ltypes = QStringLiteral("範囲選択した線種: 0～9、11～19、31～62 の整数を入力して下さい");
    QTest::newRow("colour 105") << 1 << "105"
                                << "105";
    QTest::newRow("full-width colour １０５") << 1 << "１０５"
                                              << "105";
    QTest::newRow("colour 10 refused") << 1 << "10" << Colours;
    QTest::newRow("not a number refused") << 1 << "abc" << Colours;
    QTest::newRow("width -1") << 3 << "-1"
                              << "-1";
    QTest::newRow("full-width width －１") << 3 << "－１"
                                           << "-1";
    QTest::newRow("width -2 refused") << 3 << "-2" << Widths;
    QTest::newRow("width 30001 refused") << 3 << "30001" << Widths;
    QTest::newRow("line type 46") << 2 << "46"
                                  << "46";
    QTest::newRow("line type 20 refused") << 2 << "20" << Ltypes;
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
    if (expected.contains(QLatin1Char(':'))) {
      QCOMPARE(Prompts_->Beeps, 1);
      QCOMPARE(Form3_->focusWidget(), Edit);
      QCOMPARE(Form3_->LabelMessage->text(), expected);
      QVERIFY(Prompts_->Messages.isEmpty());
      for (int Row = 3; Row <= 7; ++Row) QCOMPARE(CellOf(Grid, Row, Column), Before);
      return;
    }
    QCOMPARE(Prompts_->Beeps, 0);
    QVERIFY(Form3_->LabelMessage->text().isEmpty());
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
    QTest::addColumn<QString>("message");
    QTest::newRow("colour cell 10") << int(TInputFault::ColorGrid) << 5 << 1 << "10"
                                    << "線色・線幅設定 5行目 変換後線色番号: 0～9、101～356 の整数を入力して下さい";
    QTest::newRow("width cell 30001") << int(TInputFault::ColorGrid) << 200 << 2 << "30001"
                                      << "線色・線幅設定 200行目 線幅: -1～30000 の整数を入力して下さい";
    QTest::newRow("width cell abc") << int(TInputFault::ColorGrid) << 3 << 2 << "abc"
                                    << "線色・線幅設定 3行目 線幅: -1～30000 の整数を入力して下さい";
    QTest::newRow("line type cell 20") << int(TInputFault::LtypeGrid) << 3 << 1 << "20"
                                       << "線種設定 3行目 変換後線種番号: 0～9、11～19、31～62 の整数を入力して下さい";
    QTest::newRow("row colour 357") << int(TInputFault::CombRow) << 4 << 1 << "357"
                                    << "組合せ変換 4行目 変換先線色番号: 0～9、101～356 の整数を入力して下さい";
    QTest::newRow("row line type 10") << int(TInputFault::CombRow) << 7 << 2 << "10"
                                      << "組合せ変換 7行目 変換先線種番号: 0～9、11～19、31～62 の整数を入力して下さい";
    QTest::newRow("row width -5") << int(TInputFault::CombRow) << 10 << 3 << "-5"
                                  << "組合せ変換 10行目 変換先線幅: -1～30000 の整数を入力して下さい";
    QTest::newRow("row width text") << int(TInputFault::CombRow) << 1 << 3 << "基本"
                                    << "組合せ変換 1行目 変換先線幅: -1～30000 の整数を入力して下さい";
  }
  void inputFaultBeepsAndMovesFocus() {
    QFETCH(int, place);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
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
    QCOMPARE(Form3_->LabelMessage->text(), message);
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
    Form3_->Fram[5]->Edit3->setText("");  // reads as 0, the basic width
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

  // What is typed, full-width forms included, against the value OK takes
  // or the fault shown in the message line.
  void typedInputs_data() {
    QTest::addColumn<bool>("inRow");  // typed into row 2's width field, else grid row 3's width cell
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("taken");
    QTest::addColumn<QString>("message");  // empty when OK takes the value
    const QString RowFault = QStringLiteral("組合せ変換 2行目 変換先線幅: -1～30000 の整数を入力して下さい");
    const QString CellFault = QStringLiteral("線色・線幅設定 3行目 線幅: -1～30000 の整数を入力して下さい");
    QTest::newRow("row: full-width digits") << true << "５０" << 50 << "";
    QTest::newRow("row: full-width minus") << true << "－１" << -1 << "";
    QTest::newRow("row: empty is the basic width") << true << "" << 0 << "";
    QTest::newRow("row: letters") << true << "abc" << 0 << RowFault;
    QTest::newRow("row: out of range") << true << "30001" << 0 << RowFault;
    QTest::newRow("cell: full-width digits") << false << "５０" << 50 << "";
    QTest::newRow("cell: full-width minus") << false << "－１" << -1 << "";
    QTest::newRow("cell: empty is the basic width") << false << "" << 0 << "";
    QTest::newRow("cell: letters") << false << "abc" << 0 << CellFault;
    QTest::newRow("cell: out of range") << false << "-2" << 0 << CellFault;
  }
  void typedInputs() {
    QFETCH(bool, inRow);
    QFETCH(QString, typed);
    QFETCH(int, taken);
    QFETCH(QString, message);
    Open(TConvSettings{});
    QLineEdit* Field = nullptr;
    if (inRow) {
      Form3_->PageControl1->setCurrentIndex(1);
      Form3_->Fram[2]->CheckBox1->setChecked(true);
      Field = Form3_->Fram[2]->Edit3;
    } else {
      Form3_->StringGrid1->setFocus();
      Form3_->StringGrid1->setCurrentCell(2, 2);
      QTest::keyClick(Form3_->StringGrid1, Qt::Key_F2);
      Field = Form3_->StringGrid1->viewport()->findChild<QLineEdit*>();
      QVERIFY(Field);
    }
    // Typed, then OK pressed as its shortcut does it: the cell's editor
    // keeps the focus and is still open.
    TypeInto(Field, typed);
    Form3_->Button6->click();
    QCOMPARE(Form3_->LabelMessage->text(), message);
    if (!message.isEmpty()) {
      QCOMPARE(Prompts_->Beeps, 1);
      QVERIFY(Form3_->isVisible());
      QCOMPARE(*Settings_, TConvSettings{});
      return;
    }
    QVERIFY(Form3_->OKflag);
    QCOMPARE(inRow ? Settings_->CombRows[2].DstWidth : Settings_->WidthMap[3], taken);
  }

  // Minimising and restoring the dialog is no new showing: its edits stay.
  void minimiseAndRestoreKeepTheEdits() {
    Open(SampleSettings());
    SetCell(Form3_->StringGrid1, 1, 1, "7");
    Form3_->Fram[1]->CheckBox1->setChecked(true);
    Form3_->PageControl1->setCurrentIndex(0);
    Form3_->showMinimized();
    QTRY_VERIFY(Form3_->isMinimized());
    Form3_->showNormal();
    QTRY_VERIFY(!Form3_->isMinimized());
    QCOMPARE(CellOf(Form3_->StringGrid1, 1, 1), QStringLiteral("7"));
    QVERIFY(Form3_->Fram[1]->CheckBox1->isChecked());
    QCOMPARE(Form3_->PageControl1->currentIndex(), 0);
    // A real showing starts from the settings again.
    Form3_->hide();
    Form3_->show();
    QCOMPARE(CellOf(Form3_->StringGrid1, 1, 1), QStringLiteral("0"));
  }

  // A file that is no settings file is refused with a message: the dialog
  // and the remembered file name stay as they were.
  void openingAFileThatIsNoSettingsFile() {
    QTemporaryDir Dir;
    const QString Notes = Dir.filePath("notes.txt");
    QFile File(Notes);
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write("meeting notes\r\nC1=5\r\n");
    File.close();
    TConvSettings S = SampleSettings();
    S.SetFileName = u"/kept/name.set";
    Open(S);
    SetCell(Form3_->StringGrid1, 4, 1, "7");
    Prompts_->Answers = QStringList{Notes};
    QTest::mouseClick(Form3_->Button5, Qt::LeftButton);
    QCOMPARE(Prompts_->MessageTexts(),
             QStringList{QStringLiteral("このファイルは設定ファイルではありません。\r\nファイル名：%1").arg(Notes)});
    QCOMPARE(int(Prompts_->Messages.front().Icon), int(TMessageIcon::Error));
    QCOMPARE(CellOf(Form3_->StringGrid1, 4, 1), QStringLiteral("7"));
    QCOMPARE(CellOf(Form3_->StringGrid1, 3, 1), QStringLiteral("105"));
    QVERIFY(Form3_->Fram[2]->CheckBox1->isChecked());
    QCOMPARE(Form3_->PageControl1->currentIndex(), 1);
    QCOMPARE(Q(Settings_->SetFileName), QStringLiteral("/kept/name.set"));
  }

  // At its design size everything shows without overlapping, on both pages,
  // in the fonts the dialog uses.
  void designSizeShowsEveryControl() {
    Open(TConvSettings{});
    Form3_->LabelMessage->setText(Q(TInputFault{TInputFault::ColorGrid, 265, 1}.Message()));
    for (int Page = 0; Page < 2; ++Page) {
      Form3_->PageControl1->setCurrentIndex(Page);
      QWidget* Sheet = Page == 0 ? Form3_->TabSheet1 : Form3_->TabSheet2;
      for (QWidget* Parent : {static_cast<QWidget*>(Form3_.get()), Sheet}) {
        const QList<QWidget*> Controls = Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* C : Controls) {
          if (!C->isVisible() || C == Form3_->PageControl1) continue;
          const QString Name = QString::fromLatin1(C->metaObject()->className()) + " " +
                               (qobject_cast<const QLabel*>(C) ? qobject_cast<const QLabel*>(C)->text() : QString());
          QVERIFY2(Parent->rect().contains(C->geometry()), qPrintable(Name));
          // Not clipped by a parent (a grid's own scroll bars do not count).
          QVERIFY2(C->visibleRegion().boundingRect() == C->rect(), qPrintable(Name));
          for (const QWidget* Other : Controls)
            if (Other != C && Other->isVisible() && Other != Form3_->PageControl1)
              QVERIFY2(!C->geometry().intersects(Other->geometry()), qPrintable(Name));
          if (const auto* L = qobject_cast<const QLabel*>(C))
            QVERIFY2(L->fontMetrics().horizontalAdvance(L->text()) <= L->width(), qPrintable(Name));
        }
      }
    }
  }

  // An enlarged dialog grows its grids; the buttons keep to their edges.
  void enlargingGrowsTheGrids() {
    Open(TConvSettings{});
    QTableWidget* Grid = Form3_->StringGrid1;
    const int RowsBefore = Grid->rowAt(Grid->viewport()->height() - 1);
    const QRect Grid1 = Grid->geometry(), Grid2 = Form3_->StringGrid2->geometry();
    const QRect Ok = Form3_->Button6->geometry(), Save = Form3_->Button4->geometry();
    const QSize Design = Form3_->size();
    Form3_->resize(Design + QSize(200, 300));
    QCOMPARE(Grid->geometry(), Grid1.adjusted(0, 0, 200, 300));
    QCOMPARE(Form3_->StringGrid2->geometry(), Grid2.adjusted(200, 0, 200, 300));
    QCOMPARE(Form3_->Button6->geometry(), Ok.translated(200, 300));
    QCOMPARE(Form3_->Button4->geometry(), Save.translated(0, 300));
    QCOMPARE(Form3_->LabelMessage->geometry().bottom(), Form3_->height() - 5);
    QVERIFY2(Grid->rowAt(Grid->viewport()->height() - 1) >= RowsBefore + 12,
             qPrintable(QString::number(Grid->rowAt(Grid->viewport()->height() - 1))));
    QCOMPARE(Grid->columnViewportPosition(2) + Grid->columnWidth(2), Grid->viewport()->width());
    Form3_->resize(100, 100);
    QCOMPARE(Form3_->size(), Design);
    QCOMPARE(Grid->geometry(), Grid1);
  }

  // Without a settings file yet, the file boxes start in the home folder.
  void fileBoxesStartAtHome() {
    Open(TConvSettings{});
    QTest::mouseClick(Form3_->Button4, Qt::LeftButton);
    QTest::mouseClick(Form3_->Button5, Qt::LeftButton);
    QCOMPARE(Prompts_->Asked.size(), 2);
    QCOMPARE(Prompts_->Asked[0].Start, QDir::homePath() + "/");
    QCOMPARE(Prompts_->Asked[1].Start, QDir::homePath() + "/");
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
