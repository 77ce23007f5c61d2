// Everything the windows ask of the user or sound: message boxes, the beep
// and the folder and file boxes. They all go through one installable object
// so that tests answer them and observe the beeps.
#pragma once

#include <QString>
#include <vector>

#include "conversion/RunResults.h"

class QWidget;

enum class TMessageIcon { None, Information, Error, Confirmation };

// A settings-file box: its title, filter and default extension.
struct TFileBox {
  QString Title;
  QString Filter;
  QString DefaultSuffix;
  bool Save = false;  // a save box (asks before overwriting), else an open box
};

class TPrompts {
 public:
  virtual ~TPrompts() = default;
  // A modal message box with a single OK button.
  virtual void Message(QWidget* Parent, TMessageIcon Icon, const QString& Text) = 0;
  // A modal question with the buttons Yes and No (the default); true for Yes.
  virtual bool Ask(QWidget* Parent, const QString& Text) = 0;
  // The platform's default beep.
  virtual void Beep() = 0;
  // The folder chooser; empty when the user cancels.
  virtual QString ChooseFolder(QWidget* Parent, const QString& Prompt, const QString& Start) = 0;
  // A file box proposing the path Proposed (its folder and name); empty when
  // the user cancels.
  virtual QString ChooseFile(QWidget* Parent, const TFileBox& Box, const QString& Proposed) = 0;
  // The modal window "変換結果" listing Rows; its CSV file box proposes
  // CsvProposed.
  virtual void Results(QWidget* Parent, const std::vector<TResultRow>& Rows, const QString& CsvProposed) = 0;
};

// Where a folder or file box starts: Folder when it is an existing folder,
// otherwise the user's home folder.
QString ExistingFolderOrHome(const QString& Folder);
// The path a file box proposes for Path: Path itself when its folder exists,
// otherwise its name in the home folder.
QString ProposedInExistingFolder(const QString& Path);

// The installed prompts: Qt's dialogs unless a test installed its own.
TPrompts& Prompts();
// Installs P (not owned); nullptr goes back to Qt's dialogs.
void SetPrompts(TPrompts* P);
