#include "ui/DryRunWindow.h"

#include <QLabel>
#include <algorithm>
#include <memory>

#include "conversion/BatchDryRun.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "ui/QtText.h"

namespace {

// The system's texts break lines with CR LF; a label wants LF.
QString Lines(std::u16string_view Text) { return Q(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// The run's messages, kept instead of shown: the window lists them.
class TCollectingHost final : public TBatchRunHost {
 public:
  TCollectingHost(TFileJob& Job, std::function<void(int, int)> Progress) : Job_(Job), Progress_(std::move(Progress)) {}
  void ShowMessage(std::u16string_view Text) override { Messages.append(Lines(Text)); }
  void ShowConfirmation(std::u16string_view Text) override { Messages.append(Lines(Text)); }
  void Beep() override {}
  void FocusDestinationButton() override {}
  void SetStatusText(std::u16string_view) override {}
  void StopTimer() override {}
  void StartTimer() override {}
  void Progress(int Done, int Total) override { Progress_(Done, Total); }
  bool StopRequested() override { return Job_.StopRequested(); }

  QStringList Messages;

 private:
  TFileJob& Job_;
  std::function<void(int, int)> Progress_;
};

QString Details(const TDryRunEntry& E) {
  if (E.Skipped) return Lines(E.Message);
  QString D = QStringLiteral("保存先：") + Q(E.Destination);
  if (E.ReplacesExisting)
    D += QStringLiteral("（既にあるファイルは %1 に控えてから置き換えます）").arg(Q(FileNameOnly(E.Backup)));
  if (!E.WouldConvert()) {
    D += QStringLiteral("\n変換できません：") + Q(FileProblemCaption(E.Problem));
    return E.Reason ? D + QStringLiteral("（") + Q(JapaneseDescription(E.Reason)) + QStringLiteral("）") : D;
  }
  const TDryRun& R = E.Run;
  D += QStringLiteral("\n保存形式：") + VersionText(R.SavedVersion);
  if (R.SavedVersion != R.SourceVersion) D += QStringLiteral("（%1 から上げて保存）").arg(VersionText(R.SourceVersion));
  D += QStringLiteral("\n削除される未使用のブロック定義：%1 個").arg(R.Dropped.size());
  if (!R.Dropped.empty()) {
    QStringList Names;
    for (const TDroppedBlockDef& B : R.Dropped) Names.append(Q(B.Name));
    D += QStringLiteral("（") + Names.join(QStringLiteral("、")) + QStringLiteral("）");
  }
  D += QStringLiteral("\nSXF の線色・線種名を書き直す項目：%1 個").arg(R.Renamed.size());
  D += QStringLiteral("\n変更されるデータ：%1 個").arg(R.Transitions.Records());
  return D;
}

QString Status(const TDryRunEntry& E) {
  if (E.Skipped) return QStringLiteral("対象外");
  if (!E.WouldConvert()) return Q(FileProblemCaption(E.Problem));
  const std::int64_t N = E.Run.Transitions.Records();
  return N == 0 ? QStringLiteral("変換（変更なし）") : QStringLiteral("変換（%1 個変更）").arg(N);
}

TDryRunWindow::TFile FileOf(const TDryRunEntry& E, const TDrawingLoader& Loaded) {
  TDryRunWindow::TFile F;
  F.Name = Q(E.Caption);
  F.Status = Status(E);
  F.Details = Details(E);
  F.Skipped = E.Skipped;
  F.Converts = E.WouldConvert();
  F.Problem = !E.Skipped && !F.Converts;
  if (!F.Converts) return F;
  F.Transitions = E.Run.Transitions;
  F.Palette = Loaded.Visit([&](const auto& Doc) { return PaletteOf(Doc, ColorsOf(F.Transitions)); });
  return F;
}

}  // namespace

TDryRunWindow::TDryRunWindow(QWidget* Parent)
    : TFileTableWindow(QStringLiteral("変換内容の確認"), QStringLiteral("変換の結果"), Parent) {}

void TDryRunWindow::Start(TRunInputs Inputs) {
  Files_.clear();
  Total_ = {};
  TotalPalette_ = {};
  Refused_ = false;
  Summary->setStyleSheet(QString());
  Mode_ = Inputs.Settings.IsCombinationMode() ? QStringLiteral("組合せ変換") : QStringLiteral("個別変換");
  Wanted_ = static_cast<int>(
      std::count_if(Inputs.Entries.begin(), Inputs.Entries.end(), [](const TBatchEntry& E) { return E.Selected; }));
  Summary->setText(
      QStringLiteral("現在の設定（%1）で、選択した %2 個のファイルの変換内容を調べています。").arg(Mode_).arg(Wanted_));
  // The work never touches the window; what it posts runs on the window's
  // thread while the window and its job exist.
  StartWork([this, Inputs = std::move(Inputs)](TFileJob& Job) {
    TCollectingHost Host(
        Job, [this, &Job](int Done, int Total) { Job.Post([this, Done, Total] { SetProgress(Done, Total); }); });
    const TDryRunBatch Batch = TBatchDryRun(Inputs.Settings, Host)
                                   .Run(Inputs.SourceFolder, Inputs.DestFolder, Inputs.Entries,
                                        [&](const TDryRunEntry& E, const TDrawingLoader& Loaded) {
                                          auto F = std::make_shared<TFile>(FileOf(E, Loaded));
                                          Job.Post([this, F] { Add(*F); });
                                        });
    if (!Batch.Started) Job.Post([this, Messages = Host.Messages] { Refused(Messages); });
  });
}

void TDryRunWindow::Add(const TFile& F) {
  Files_.push_back(F);
  Total_.Add(F.Transitions);
  TotalPalette_.Merge(F.Palette);
  AddEntry(F.Name, F.Status, F.Problem || F.Skipped);
}

void TDryRunWindow::Refused(const QStringList& Messages) {
  Refused_ = true;
  Summary->setStyleSheet(QStringLiteral("color: #c80000"));
  Summary->setText(QStringLiteral("変換は開始されません：") + Messages.join(QStringLiteral(" ")));
}

QString TDryRunWindow::Counts() const {
  int Converts = 0, Problems = 0, Skipped = 0;
  for (const TFile& F : Files_) {
    Converts += F.Converts ? 1 : 0;
    Problems += F.Problem ? 1 : 0;
    Skipped += F.Skipped ? 1 : 0;
  }
  return QStringLiteral("変換されるファイル %1 個、変換できないファイル %2 個、対象外 %3 個、変更されるデータ %4 個")
      .arg(Converts)
      .arg(Problems)
      .arg(Skipped)
      .arg(Total_.Records());
}

void TDryRunWindow::ShowEntry(int Entry) {
  if (Entry <= 0) {
    ShowTable(Counts(), TransitionHeader(), TransitionRows(Total_, TotalPalette_));
    return;
  }
  const TFile& F = Files_[static_cast<std::size_t>(Entry - 1)];
  ShowTable(F.Details, TransitionHeader(), TransitionRows(F.Transitions, F.Palette));
}

std::vector<std::vector<std::u16string>> TDryRunWindow::CsvRows() const {
  TCsvRows Csv(TransitionHeader());
  for (const TFile& F : Files_) {
    if (!F.Converts) Csv.Note(U(F.Name), U(F.Status + QStringLiteral("：") + QString(F.Details).replace(u'\n', u' ')));
    Csv.Add(U(F.Name), TransitionRows(F.Transitions, F.Palette));
  }
  Csv.Add(u"（合計）", TransitionRows(Total_, TotalPalette_));
  return Csv.Lines;
}

QString TDryRunWindow::CsvName() const { return QStringLiteral("変換内容の確認.csv"); }

void TDryRunWindow::WorkEnded(bool Stopped) {
  if (Refused_) return;
  QString S =
      QStringLiteral("現在の設定（%1）で変換したときの内容です。ファイルは何も書き込まれていません。").arg(Mode_);
  if (Stopped && static_cast<int>(Files_.size()) < Wanted_)
    S += QStringLiteral("（%1 個で中止しました）").arg(Files_.size());
  Summary->setText(S);
}
