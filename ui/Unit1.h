// TForm1: the main window. It owns the application paths, the four document
// objects, the folder tree, the file list, the polling timer, the conversion
// settings and the settings dialog; the convert button starts the batch run
// on a worker thread with this window as its host, showing its progress and
// offering to stop it.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "conversion/BatchRun.h"
#include "conversion/ConvSettings.h"
#include "conversion/IniFile.h"
#include "conversion/RunResults.h"
#include "ui/AppPaths.h"
#include "ui/ConvertRun.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTableWidgetItem;
class QTimer;
class QToolButton;
class TConvertRun;
class TDryRunWindow;
class TPenCensusWindow;
class TFileListView;
class TPreviewPane;
class TForm3;
class TJwcData;
class TJwkData;
class TJwsData;
class TJwwData;
class TplExplorerFolderTree;

class TForm1 : public QMainWindow, private TBatchRunHost {
  Q_OBJECT

 public:
  // Paths: where the INI file and the working folder are (RunningAppPaths()
  // for the program, a temporary folder for tests).
  explicit TForm1(const TAppPaths& Paths, QWidget* Parent = nullptr);
  ~TForm1() override;

  const TAppPaths& Paths() const { return Paths_; }
  const std::u16string& preFolder() const { return PreFolder_; }
  TConvSettings& Settings() { return Settings_; }
  bool IsRunning() const { return Run_ != nullptr; }

  QLabel* Label1;
  QWidget* Panel1;  // hosts the folder tree
  QSplitter* Splitter1;
  QWidget* Panel2;
  QWidget* Panel3;  // the command area
  QLabel* Label2;
  QComboBox* ComboBox1;  // the file type filter
  QPushButton* Button1;  // the destination folder chooser
  QLineEdit* Edit1;      // the destination folder
  QPushButton* Button2;  // the settings dialog
  QLabel* LabelMode;     // the active conversion mode, beside Button2
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* ButtonPens;    // "使用ペン一覧": the pens of the selected files
  QPushButton* ButtonDryRun;  // "変換内容の確認": what a run would change
  QPushButton* ButtonT;       // convert
  QPushButton* ButtonX;       // close
  TFileListView* ListView1;
  QSplitter* Splitter2;  // the file list and the preview pane
  TPreviewPane* PreviewPane1;
  QStatusBar* StatusBar1;
  QLabel* LabelProgress;  // "n / N" during a run
  QProgressBar* ProgressBar1;
  QToolButton* ButtonStop;  // "中止": ends a run after the current file
  QTimer* Timer1;
  TplExplorerFolderTree* plExplorerFolderTree1 = nullptr;
  TForm3* Form3;

 protected:
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

 private:
  void BuildControls();
  void BuildCommandArea();
  void BuildProgressArea();
  // The first start: a size that shows the command area and list columns
  // that show their headers and typical entries.
  void FirstStartLayout();
  void ShowMode();

  // Start-up and shutdown.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  void DocumentsCreate();
  void DocumentsFree();
  void ApplyIni(const TIniState& Ini);
  TIniState CaptureIni() const;

  void Timer1Timer();
  void Button2Click();
  void ButtonXClick();
  void ButtonTClick();
  void ButtonPensClick();
  void ButtonDryRunClick();
  // The run's inputs: the settings, the two folders and the list as shown.
  TRunInputs RunInputs() const;
  void ButtonStopClick();
  void RunFinished();
  // Disables what could change a run's inputs while it goes on.
  void SetRunning(bool Running);
  // At the end of a run: the list of the files it did not convert, or for a
  // single file skipped for its extension the message such a file gets.
  void ShowRunResults(const std::vector<TFileOutcome>& Files);
  void BrowseForFolder1Execute();
  void BrowseForFolder1Accept(const QString& Folder);

  // The file list.
  void FileListMake(const std::u16string& Folder);
  void ComboBox1Select();
  void ListView1ColumnClick(int Column);
  int ListView1Compare(const QTableWidgetItem& Item1, const QTableWidgetItem& Item2) const;
  void ListView1DblClick();
  void OpenFailed(const QString& Path);

  // The status bar text, repainted at once.
  void SetStatus(const QString& Text);
  void StartTimer() override;  // interval 200 ms, on
  void StopTimer() override;

  // TBatchRunHost
  void ShowMessage(std::u16string_view Text) override;
  void ShowConfirmation(std::u16string_view Text) override;
  void Beep() override;
  void FocusDestinationButton() override;
  void SetStatusText(std::u16string_view Text) override;
  void Progress(int Done, int Total) override;

  TAppPaths Paths_;
  std::u16string PreFolder_;
  int Sort1_ = -1;  // the column last sorted by; -1 none
  int Sort2_ = 0;   // 0 ascending, 1 descending
  TConvSettings Settings_;
  QString BrowseStart_;  // the folder the destination chooser opens on
  std::unique_ptr<TJwwData> Jww_;
  std::unique_ptr<TJwsData> Jws_;
  std::unique_ptr<TJwcData> Jwc_;
  std::unique_ptr<TJwkData> Jwk_;
  TConvertRun* Run_ = nullptr;  // the run going on, if any
  TPenCensusWindow* PensWindow_ = nullptr;
  TDryRunWindow* DryRunWindow_ = nullptr;
  bool FocusAfterRun_ = false;  // the run asked for the focus on Button1
  bool CloseAfterRun_ = false;  // the user closed the window during the run
  bool Shown_ = false;
  bool Closed_ = false;
};
