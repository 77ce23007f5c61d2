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

// The item with the keyboard focus is drawn in dark red; the selection
// behind it is a light blue, on which that red and black stay legible.
const QColor kFocusRed(200, 0, 0);
const QColor kSelectionBlue(204, 232, 255);

class TFocusRedDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::initStyleOption(Option, Index);
    if (Option->state & QStyle::State_HasFocus) {
      Option->palette.setColor(QPalette::Text, kFocusRed);
      Option->palette.setColor(QPalette::HighlightedText, kFocusRed);
    }
  }
};

QString CleanFolder(const QString& Path) { return QDir::cleanPath(QFileInfo(Path).absoluteFilePath()); }

}  // namespace

TplExplorerFolderTree::TplExplorerFolderTree(QWidget* AOwner)
    : QWidget(AOwner), FModel_(new QFileSystemModel(this)), FTree_(new QTreeView(this)) {
  resize(250, 300);
  setAutoFillBackground(true);
  QPalette White = palette();
  White.setColor(QPalette::Window, Qt::white);
  setPalette(White);

  FModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
  FModel_->setReadOnly(true);
  FTree_->setModel(FModel_);
  for (int Column = 1; Column < FModel_->columnCount(); ++Column) FTree_->hideColumn(Column);
  FTree_->setHeaderHidden(true);
  FTree_->setItemDelegate(new TFocusRedDelegate(FTree_));
  QPalette Selection = FTree_->palette();
  for (const QPalette::ColorGroup Group : {QPalette::Active, QPalette::Inactive}) {
    Selection.setColor(Group, QPalette::Highlight, kSelectionBlue);
    Selection.setColor(Group, QPalette::HighlightedText, Qt::black);
  }
  FTree_->setPalette(Selection);
  connect(FTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& Current) { UserSelected(Current); });
  // The model reads folders in the background and sorts what it read later;
  // rows that arrive above a folder the program selected push it out of
  // sight, so it is scrolled to again after each such change.
  const auto RevealLater = [this] {
    if (FRevealPending_) QTimer::singleShot(0, this, &TplExplorerFolderTree::RevealShownFolder);
  };
  connect(FModel_, &QAbstractItemModel::rowsInserted, this, RevealLater);
  connect(FModel_, &QAbstractItemModel::layoutChanged, this, RevealLater);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(FTree_);
}

void TplExplorerFolderTree::SetRootFolder(const QString& Value) {
  if (FRooted_ && !Value.isEmpty() && Value == FRootFolder_) return;
  const QString Path = Value.isEmpty() ? QDir::rootPath() : CleanFolder(Value);
  if (!QFileInfo(Path).isDir()) return;
  FModel_->setRootPath(Path);
  if (Value.isEmpty()) {
    // The file system's root shows as the one top item, expanded.
    FTree_->setRootIndex(QModelIndex());
    FTree_->expand(FModel_->index(Path));
  } else {
    FTree_->setRootIndex(FModel_->index(Path));
  }
  FRooted_ = true;
  FRootFolder_ = Value;
  FRootPath_ = Path;
  emit RootFolderChanged(FRootFolder_);
}

bool TplExplorerFolderTree::LiesUnderRoot(const QString& Path) const {
  if (!FRooted_) return false;
  if (FRootFolder_.isEmpty()) return true;  // the whole file system, "/" included
  const QString Prefix = FRootPath_.endsWith(QLatin1Char('/')) ? FRootPath_ : FRootPath_ + QLatin1Char('/');
  return Path.startsWith(Prefix) && Path.size() > Prefix.size();
}

void TplExplorerFolderTree::SetSelectFolder(const QString& Value) {
  if (Value.isEmpty()) return;
  const QString Path = CleanFolder(Value);
  if (!QFileInfo(Path).isDir() || Path == FShownFolder_ || !LiesUnderRoot(Path)) return;
  const QModelIndex Index = FModel_->index(Path);
  if (!Index.isValid()) return;
  FSelectingByProgram_ = true;
  FTree_->setCurrentIndex(Index);
  FTree_->scrollTo(Index);
  FSelectingByProgram_ = false;
  FShownFolder_ = Path;
  FRevealPending_ = true;
}

void TplExplorerFolderTree::RevealShownFolder() {
  if (FRevealPending_) FTree_->scrollTo(FModel_->index(FShownFolder_), QAbstractItemView::PositionAtCenter);
}

void TplExplorerFolderTree::UserSelected(const QModelIndex& Index) {
  if (FSelectingByProgram_ || !Index.isValid()) return;
  const QString Path = FModel_->filePath(Index);
  if (Path == FShownFolder_) return;
  FShownFolder_ = Path;
  FSelectFolder_ = Path;
  FRevealPending_ = false;
  emit SelectFolderChanged(FSelectFolder_);
}
