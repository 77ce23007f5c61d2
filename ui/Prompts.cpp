#include "ui/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/ResultWindow.h"

namespace {

QMessageBox::Icon BoxIcon(TMessageIcon Icon) {
  switch (Icon) {
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::Error: return QMessageBox::Critical;
    case TMessageIcon::Confirmation: return QMessageBox::Question;
    case TMessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

class TQtPrompts final : public TPrompts {
 public:
  void Message(QWidget* Parent, TMessageIcon Icon, const QString& Text) override {
    QMessageBox Box(BoxIcon(Icon), QApplication::applicationName(), Text, QMessageBox::Ok, Parent);
    Box.exec();
  }

  bool Ask(QWidget* Parent, const QString& Text) override {
    QMessageBox Box(QMessageBox::Question, QApplication::applicationName(), Text, QMessageBox::Yes | QMessageBox::No,
                    Parent);
    Box.setDefaultButton(QMessageBox::No);
    return Box.exec() == QMessageBox::Yes;
  }

  void Beep() override { QApplication::beep(); }

  QString ChooseFolder(QWidget* Parent, const QString& Prompt, const QString& Start) override {
    return QFileDialog::getExistingDirectory(Parent, Prompt, Start, QFileDialog::ShowDirsOnly);
  }

  QString ChooseFile(QWidget* Parent, const TFileBox& Box, const QString& Proposed) override {
    const QFileInfo Info(Proposed);
    QFileDialog Dialog(Parent, Box.Title, Info.absolutePath(), Box.Filter);
    Dialog.setDefaultSuffix(Box.DefaultSuffix);
    Dialog.setAcceptMode(Box.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    Dialog.setFileMode(Box.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!Info.fileName().isEmpty()) Dialog.selectFile(Info.fileName());
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return {};
    return Dialog.selectedFiles().front();
  }

  void Results(QWidget* Parent, const std::vector<TResultRow>& Rows, const QString& CsvProposed) override {
    TResultWindow Window(Rows, CsvProposed, Parent);
    Window.exec();
  }
};

TPrompts* Installed = nullptr;

}  // namespace

QString ExistingFolderOrHome(const QString& Folder) {
  return !Folder.isEmpty() && QFileInfo(Folder).isDir() ? Folder : QDir::homePath();
}

QString ProposedInExistingFolder(const QString& Path) {
  const QFileInfo Info(Path);
  if (!Path.isEmpty() && Info.absoluteDir().exists()) return Path;
  // A trailing separator keeps an empty name from reading as the folder's own.
  QString Home = QDir::homePath();
  if (!Home.endsWith(QLatin1Char('/'))) Home += QLatin1Char('/');
  return Home + Info.fileName();
}

TPrompts& Prompts() {
  static TQtPrompts Platform;
  return Installed ? *Installed : Platform;
}

void SetPrompts(TPrompts* P) { Installed = P; }
