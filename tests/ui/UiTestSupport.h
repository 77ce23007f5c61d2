// Helpers of the window tests: prompts answered without a user, a program
// folder with its INI file, and the started main window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "conversion/IniFile.h"
#include "ui/AppPaths.h"
#include "ui/Prompts.h"

class TForm1;

// Installed for its lifetime: records every message box, beep and file or
// folder box, and answers the boxes from queues (an empty queue cancels).
class TRecordingPrompts final : public TPrompts {
 public:
  struct TShown {
    TMessageIcon Icon;
    QString Text;
  };
  struct TAsked {
    QString Title;   // the prompt of the folder chooser or the file box's title
    QString Filter;  // the file box's filter
    QString Start;   // the folder or path proposed
    bool Save = false;
  };

  TRecordingPrompts() { SetPrompts(this); }
  ~TRecordingPrompts() override { SetPrompts(nullptr); }

  void Message(QWidget*, TMessageIcon Icon, const QString& Text) override { Messages.append({Icon, Text}); }
  bool Ask(QWidget*, const QString& Text) override {
    Questions.append(Text);
    return !YesNo.isEmpty() && YesNo.takeFirst();
  }
  void Beep() override { ++Beeps; }
  QString ChooseFolder(QWidget*, const QString& Prompt, const QString& Start) override;
  QString ChooseFile(QWidget*, const TFileBox& Box, const QString& Proposed) override;
  void Results(QWidget*, const std::vector<TResultRow>& Rows, const QString& CsvProposed) override {
    ResultLists.append({Rows, CsvProposed});
  }

  QStringList MessageTexts() const;

  QList<TShown> Messages;
  int Beeps = 0;
  QList<TAsked> Asked;
  QStringList Answers;  // taken from the front by each folder or file box
  QStringList Questions;
  QList<bool> YesNo;  // taken from the front by each question; none answers No
  struct TResults {
    std::vector<TResultRow> Rows;
    QString CsvProposed;
  };
  QList<TResults> ResultLists;  // each "変換結果" window shown
};

// A program folder in a temporary folder: the executable's path is
// Folder/lintorra, so the INI file is Folder/lintorra.ini and the working
// folder Folder/TEMP/.
class TProgramHome {
 public:
  TProgramHome();
  const TAppPaths& Paths() const { return Paths_; }
  QString Path(const QString& Name) const { return Dir_.filePath(Name); }
  QString IniFile() const;
  QString WorkFolder() const;
  void WriteIni(const TIniState& State) const;
  TIniState ReadIni() const;

 private:
  QTemporaryDir Dir_;
  TAppPaths Paths_;
};

// The main window, shown and exposed.
std::unique_ptr<TForm1> StartForm1(const TProgramHome& Home);

// Makes the folder (and its parents) and writes Size bytes into Folder/Name.
void WriteFile(const QString& Folder, const QString& Name, int Size);
QString MakeFolder(const QString& Path);
// Makes the folder Path holding the files (name, size in bytes).
QString FolderWith(const QString& Path, std::initializer_list<std::pair<QString, int>> Files);
// Writes Count small drawings of one line each, "d000.jww" upward, into
// Folder; their names in name order.
QStringList WriteDrawings(const QString& Folder, int Count);

// A source folder "src" of Count drawings (WriteDrawings; none for 0) and an
// empty destination "out" in the program's home, named by its INI file with
// a mapping of colour 2 to 3.
struct TRunFolders {
  QString Source, Dest;
  QStringList Names;
};
TRunFolders PrepareRun(const TProgramHome& Home, int Count);

// Turns the event loop until the window's run has ended, at most a minute.
// (QTRY's polling sleeps between events, which would slow down every call
// the worker waits on.)
bool RunEnds(const TForm1& Form1);
