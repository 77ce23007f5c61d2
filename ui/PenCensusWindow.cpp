#include "ui/PenCensusWindow.h"

#include <QLabel>

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "ui/QtText.h"

namespace {

const QString kWhereNote = QStringLiteral(
    "\n「未使用ブロック内」は、どの図形からも使われず保存のときに削除されるブロック定義の中のデータです。");

QString FileStatus(const TPenCensusWindow::TFile& F) {
  if (F.Problem != TFileProblem::None) return Q(FileProblemCaption(F.Problem));
  return (F.Jww ? QStringLiteral("JWW ") : QStringLiteral("JWS ")) + VersionText(F.Version);
}

// Counts one file, on the worker.
TPenCensusWindow::TFile CountFile(TDrawingLoader& Loader, const std::u16string& Path) {
  TPenCensusWindow::TFile F;
  F.Name = Q(FileNameOnly(Path));
  F.Problem = Loader.Load(Path);
  if (F.Problem == TFileProblem::None) {
    F.Jww = Loader.IsJww();
    Loader.Visit([&](const auto& Doc) {
      F.Version = Doc.Enthd.jwVer;
      F.Census = CensusOf(Doc);
      F.Palette = PaletteOf(Doc, ColorsOf(F.Census));
    });
  }
  Loader.Clear();
  return F;
}

}  // namespace

TPenCensusWindow::TPenCensusWindow(QWidget* Parent)
    : TFileTableWindow(QStringLiteral("使用ペン一覧"), QStringLiteral("形式・状態"), Parent) {}

void TPenCensusWindow::Start(std::vector<std::u16string> Paths) {
  Files_.clear();
  Total_ = {};
  TotalPalette_ = {};
  Wanted_ = static_cast<int>(Paths.size());
  Summary->setText(QStringLiteral("選択した %1 個のファイルの線色・線種・線幅を数えています。").arg(Wanted_));
  // The work never touches the window; what it posts runs on the window's
  // thread while the window and its job exist.
  StartWork([this, Paths = std::move(Paths)](TFileJob& Job) {
    TDrawingLoader Loader;
    const int Total = static_cast<int>(Paths.size());
    int Done = 0;
    for (const std::u16string& Path : Paths) {
      if (Job.StopRequested()) break;
      auto F = std::make_shared<TFile>(CountFile(Loader, Path));
      ++Done;
      Job.Post([this, F, Done, Total] {
        Add(*F);
        SetProgress(Done, Total);
      });
    }
  });
  SetProgress(0, Wanted_);
}

void TPenCensusWindow::Add(const TFile& F) {
  Files_.push_back(F);
  Total_.Add(F.Census);
  TotalPalette_.Merge(F.Palette);
  AddEntry(F.Name, FileStatus(F), F.Problem != TFileProblem::None);
}

QString TPenCensusWindow::TotalSummary() const {
  int Failed = 0;
  for (const TFile& F : Files_) Failed += F.Problem != TFileProblem::None ? 1 : 0;
  QString S = QStringLiteral("%1 個のファイルの合計").arg(Files_.size());
  if (Failed > 0) S += QStringLiteral("（読めないファイル %1 個を除く）").arg(Failed);
  return S + kWhereNote;
}

void TPenCensusWindow::ShowEntry(int Entry) {
  if (Entry <= 0) {
    ShowTable(TotalSummary(), CensusHeader(), CensusRows(Total_, TotalPalette_));
    return;
  }
  const TFile& F = Files_[static_cast<std::size_t>(Entry - 1)];
  ShowTable(F.Name + QStringLiteral("：") + FileStatus(F) + kWhereNote, CensusHeader(),
            CensusRows(F.Census, F.Palette));
}

std::vector<std::vector<std::u16string>> TPenCensusWindow::CsvRows() const {
  TCsvRows Csv(CensusHeader());
  for (const TFile& F : Files_) {
    if (F.Problem != TFileProblem::None) Csv.Note(U(F.Name), FileProblemCaption(F.Problem));
    Csv.Add(U(F.Name), CensusRows(F.Census, F.Palette));
  }
  Csv.Add(u"（合計）", CensusRows(Total_, TotalPalette_));
  return Csv.Lines;
}

QString TPenCensusWindow::CsvName() const { return QStringLiteral("使用ペン一覧.csv"); }

void TPenCensusWindow::WorkEnded(bool Stopped) {
  QString S = QStringLiteral("選択した %1 個のファイルの線色・線種・線幅").arg(Wanted_);
  if (Stopped && static_cast<int>(Files_.size()) < Wanted_)
    S += QStringLiteral("（%1 個で中止しました）").arg(Files_.size());
  Summary->setText(S);
}
