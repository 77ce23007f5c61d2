// The folder tree: its root, the program's selection that does not count as
// the user's, and the user's selection that SelectFolder reports.
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "UiTestSupport.h"
#include "ui/plExplorerFolderTree.h"

namespace {

QString Shown(const TplExplorerFolderTree& Tree) { return Tree.Model()->filePath(Tree.View()->currentIndex()); }

void ClickFolder(TplExplorerFolderTree& Tree, const QString& Folder) {
  const QModelIndex Index = Tree.Model()->index(Folder);
  QVERIFY(Index.isValid());
  Tree.View()->scrollTo(Index);
  QTest::mouseClick(Tree.View()->viewport(), Qt::LeftButton, {}, Tree.View()->visualRect(Index).center());
}

}  // namespace

class FolderTreeTest : public QObject {
  Q_OBJECT

  QTemporaryDir Dir_;
  QString A_, B_, C_;

 private slots:
  void initTestCase() {
    A_ = MakeFolder(Dir_.filePath("A"));
    B_ = MakeFolder(Dir_.filePath("A/B"));
    C_ = MakeFolder(Dir_.filePath("C"));
  }

  void programSelectionDoesNotChangeSelectFolder() {
    TplExplorerFolderTree Tree(nullptr);
    Tree.resize(300, 400);
    Tree.show();
    Tree.SetRootFolder(QString());
    QCOMPARE(Tree.RootFolder(), QString());
    Tree.SetSelectFolder(B_);
    QCOMPARE(Shown(Tree), B_);
    QVERIFY(Tree.SelectFolder().isEmpty());
  }

  void userSelectionIsReportedOnce() {
    TplExplorerFolderTree Tree(nullptr);
    Tree.resize(300, 400);
    Tree.show();
    Tree.SetRootFolder(QString());
    Tree.SetSelectFolder(A_);
    QSignalSpy Changed(&Tree, &TplExplorerFolderTree::SelectFolderChanged);
    ClickFolder(Tree, C_);
    QCOMPARE(Tree.SelectFolder(), C_);
    QCOMPARE(Changed.count(), 1);
    ClickFolder(Tree, C_);  // the recorded folder again
    QCOMPARE(Changed.count(), 1);
    // A later selection by the program leaves the user's choice in place.
    Tree.SetSelectFolder(B_);
    QCOMPARE(Shown(Tree), B_);
    QCOMPARE(Tree.SelectFolder(), C_);
  }

  void selectionOutsideRootOrMissingIsIgnored_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("outside the root") << "C";
    QTest::newRow("missing") << "A/none";
    QTest::newRow("the root itself") << "A";
  }
  void selectionOutsideRootOrMissingIsIgnored() {
    QFETCH(QString, target);
    TplExplorerFolderTree Tree(nullptr);
    Tree.SetRootFolder(A_);
    Tree.SetSelectFolder(B_);
    Tree.SetSelectFolder(Dir_.filePath(target));
    QCOMPARE(Shown(Tree), B_);
    QVERIFY(Tree.SelectFolder().isEmpty());
  }

  void rootChangesAreAnnounced() {
    TplExplorerFolderTree Tree(nullptr);
    QSignalSpy Changed(&Tree, &TplExplorerFolderTree::RootFolderChanged);
    Tree.SetRootFolder(A_);
    Tree.SetRootFolder(A_);  // the same folder again: nothing
    QCOMPARE(Changed.count(), 1);
    Tree.SetRootFolder(QString());
    Tree.SetRootFolder(QString());  // the whole file system always re-roots
    QCOMPARE(Changed.count(), 3);
    Tree.SetRootFolder(Dir_.filePath("missing"));
    QCOMPARE(Changed.count(), 3);
    QCOMPARE(Tree.RootFolder(), QString());
  }
};

QTEST_MAIN(FolderTreeTest)
#include "FolderTreeTest.moc"
