// A folder tree (folders only) that tells its owner which folder the user
// selected. The owner polls SelectFolder; a selection made by the program
// shows in the tree but does not change what SelectFolder reads.
#pragma once

#include <QString>
#include <QWidget>

class QFileSystemModel;
class QModelIndex;
class QTreeView;

class TplExplorerFolderTree : public QWidget {
  Q_OBJECT

 public:
  explicit TplExplorerFolderTree(QWidget* AOwner);

  // The folder the tree starts from. The empty string stands for the whole
  // file system, "/". A folder that does not exist leaves the root as it
  // was; the same non-empty folder again does nothing.
  QString RootFolder() const { return FRootFolder_; }
  void SetRootFolder(const QString& Value);

  // The path of the folder the user last selected; empty until then.
  QString SelectFolder() const { return FSelectFolder_; }
  // Shows the existing folder Value selected when it lies below the root,
  // without changing SelectFolder. Nothing for an empty Value.
  void SetSelectFolder(const QString& Value);

  // The tree lives in the toolkit's own event loop, so there is no idle
  // loop to pause around modal windows.
  void IdleStop() {}
  void IdleRestart() {}

  QTreeView* View() const { return FTree_; }
  QFileSystemModel* Model() const { return FModel_; }

 signals:
  void RootFolderChanged(const QString& FullPath);
  void SelectFolderChanged(const QString& FullPath);

 private:
  void UserSelected(const QModelIndex& Index);
  void RevealShownFolder();
  bool LiesUnderRoot(const QString& Path) const;

  QString FRootFolder_;    // as written; empty for the whole file system
  QString FRootPath_;      // the folder the tree shows, "/" for the whole file system
  QString FSelectFolder_;  // the user's last selection
  QString FShownFolder_;   // the selection as far as the tree knows it (user or program)
  bool FRooted_ = false;
  bool FSelectingByProgram_ = false;
  bool FRevealPending_ = false;  // the program's selection is still to be scrolled into view
  QFileSystemModel* FModel_;
  QTreeView* FTree_;
};
