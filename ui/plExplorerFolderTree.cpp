#include "ui/plExplorerFolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The item with the keyboard focus is drawn in dark red.
class TFocusRedDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::initStyleOption(Option, Index);
    if (Option->state & QStyle::State_HasFocus) {
      const QColor Red(200, 0, 0);
      Option->palette.setColor(QPalette::Text, Red);
      Option->palette.setColor(QPalette::HighlightedText, Red);
    }
  }
};

QString CleanFolder(const QString& Path) { return QDir::cleanPath(QFileInfo(Path).absoluteFilePath()); }

}  // namespace

TplExplorerFolderTree::TplExplorerFolderTree(QWidget* AOwner)
    : QWidget(AOwner), FModel(new QFileSystemModel(this)), FTree(new QTreeView(this)) {
  resize(250, 300);
  setAutoFillBackground(true);
  QPalette White = palette();
  White.setColor(QPalette::Window, Qt::white);
  setPalette(White);

  FModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
  FModel->setReadOnly(true);
  FTree->setModel(FModel);
  for (int Column = 1; Column < FModel->columnCount(); ++Column) FTree->hideColumn(Column);
  FTree->setHeaderHidden(true);
  FTree->setItemDelegate(new TFocusRedDelegate(FTree));
  connect(FTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& Current) { UserSelected(Current); });
  // The model reads folders in the background and sorts what it read later;
  // rows that arrive above a folder the program selected push it out of
  // sight, so it is scrolled to again after each such change.
  const auto RevealLater = [this] {
    if (FRevealPending) QTimer::singleShot(0, this, &TplExplorerFolderTree::RevealShownFolder);
  };
  connect(FModel, &QAbstractItemModel::rowsInserted, this, RevealLater);
  connect(FModel, &QAbstractItemModel::layoutChanged, this, RevealLater);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(FTree);
}

void TplExplorerFolderTree::SetRootFolder(const QString& Value) {
  if (FRooted && !Value.isEmpty() && Value == FRootFolder) return;
  const QString Path = Value.isEmpty() ? QDir::rootPath() : CleanFolder(Value);
  if (!QFileInfo(Path).isDir()) return;
  FModel->setRootPath(Path);
  if (Value.isEmpty()) {
    // The file system's root shows as the one top item, expanded.
    FTree->setRootIndex(QModelIndex());
    FTree->expand(FModel->index(Path));
  } else {
    FTree->setRootIndex(FModel->index(Path));
  }
  FRooted = true;
  FRootFolder = Value;
  FRootPath = Path;
  emit RootFolderChanged(FRootFolder);
}

bool TplExplorerFolderTree::LiesUnderRoot(const QString& Path) const {
  if (!FRooted) return false;
  if (FRootFolder.isEmpty()) return true;  // the whole file system, "/" included
  const QString Prefix = FRootPath.endsWith(QLatin1Char('/')) ? FRootPath : FRootPath + QLatin1Char('/');
  return Path.startsWith(Prefix) && Path.size() > Prefix.size();
}

void TplExplorerFolderTree::SetSelectFolder(const QString& Value) {
  if (Value.isEmpty()) return;
  const QString Path = CleanFolder(Value);
  if (!QFileInfo(Path).isDir() || Path == FShownFolder || !LiesUnderRoot(Path)) return;
  const QModelIndex Index = FModel->index(Path);
  if (!Index.isValid()) return;
  FSelectingByProgram = true;
  FTree->setCurrentIndex(Index);
  FTree->scrollTo(Index);
  FSelectingByProgram = false;
  FShownFolder = Path;
  FRevealPending = true;
}

void TplExplorerFolderTree::RevealShownFolder() {
  if (FRevealPending) FTree->scrollTo(FModel->index(FShownFolder), QAbstractItemView::PositionAtCenter);
}

void TplExplorerFolderTree::UserSelected(const QModelIndex& Index) {
  if (FSelectingByProgram || !Index.isValid()) return;
  const QString Path = FModel->filePath(Index);
  if (Path == FShownFolder) return;
  FShownFolder = Path;
  FSelectFolder = Path;
  FRevealPending = false;
  emit SelectFolderChanged(FSelectFolder);
}
