// "使用ペン一覧": the pens of the selected files, counted on a worker thread;
// the total over all files first, each file's own table when it is
// selected, a file that does not load with its reason.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "conversion/DrawingLoad.h"
#include "conversion/PenCensus.h"
#include "ui/FileTableWindow.h"
#include "ui/PenPalette.h"

class TPenCensusWindow final : public TFileTableWindow {
  Q_OBJECT

 public:
  explicit TPenCensusWindow(QWidget* Parent = nullptr);

  // Counts the pens of the files (full paths), in their order, replacing
  // what the window shows.
  void Start(std::vector<std::u16string> Paths);

  struct TFile {
    QString Name;
    TFileProblem Problem = TFileProblem::None;
    bool Jww = false;
    std::int32_t Version = 0;
    TPenCensus Census;
    TPenPalette Palette;
  };

 private:
  void Add(const TFile& F);
  void ShowEntry(int Entry) override;
  std::vector<std::vector<std::u16string>> CsvRows() const override;
  QString CsvName() const override;
  void WorkEnded(bool Stopped) override;
  QString TotalSummary() const;

  std::vector<TFile> Files_;
  int Wanted_ = 0;
  TPenCensus Total_;
  TPenPalette TotalPalette_;
};
