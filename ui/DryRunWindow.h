// "変換内容の確認": the dry run of the selected files with the current
// settings, on a worker thread. The run's checks and its handling of each
// entry are the real run's; what each file would become (saved where, in
// which version, the block definitions and SXF names the save changes) and
// the pen changes per file and in total are shown. Nothing is written.
#pragma once

#include <string>
#include <vector>

#include "conversion/DryRun.h"
#include "ui/ConvertRun.h"
#include "ui/FileTableWindow.h"
#include "ui/PenPalette.h"

class TDryRunWindow final : public TFileTableWindow {
  Q_OBJECT

 public:
  explicit TDryRunWindow(QWidget* Parent = nullptr);

  // Looks at the selected entries of Inputs as a run with these settings
  // would take them, replacing what the window shows.
  void Start(TRunInputs Inputs);

  struct TFile {
    QString Name, Status, Details;
    bool Converts = false, Problem = false, Skipped = false;
    TTransitionTally Transitions;
    TPenPalette Palette;
  };

 private:
  void Add(const TFile& F);
  void Refused(const QStringList& Messages);
  void ShowEntry(int Entry) override;
  std::vector<std::vector<std::u16string>> CsvRows() const override;
  QString CsvName() const override;
  void WorkEnded(bool Stopped) override;
  QString Counts() const;

  QString Mode_;
  int Wanted_ = 0;
  bool Refused_ = false;
  std::vector<TFile> Files_;
  TTransitionTally Total_;
  TPenPalette TotalPalette_;
};
