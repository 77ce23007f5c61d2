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

  QTemporaryDir Dir;
  QString A, B, C;

 private slots:
  void initTestCase() {
    A = MakeFolder(Dir.filePath("A"));
    B = MakeFolder(Dir.filePath("A/B"));
    C = MakeFolder(Dir.filePath("C"));
  }

  void programSelectionDoesNotChangeSelectFolder() {
    TplExplorerFolderTree Tree(nullptr);
    Tree.resize(300, 400);
    Tree.show();
    Tree.SetRootFolder(QString());
    QCOMPARE(Tree.RootFolder(), QString());
    Tree.SetSelectFolder(B);
    QCOMPARE(Shown(Tree), B);
    QVERIFY(Tree.SelectFolder().isEmpty());
  }

  void userSelectionIsReportedOnce() {
    TplExplorerFolderTree Tree(nullptr);
    Tree.resize(300, 400);
    Tree.show();
    Tree.SetRootFolder(QString());
    Tree.SetSelectFolder(A);
    QSignalSpy Changed(&Tree, &TplExplorerFolderTree::SelectFolderChanged);
    ClickFolder(Tree, C);
    QCOMPARE(Tree.SelectFolder(), C);
    QCOMPARE(Changed.count(), 1);
    ClickFolder(Tree, C);  // the recorded folder again
    QCOMPARE(Changed.count(), 1);
    // A later selection by the program leaves the user's choice in place.
    Tree.SetSelectFolder(B);
    QCOMPARE(Shown(Tree), B);
    QCOMPARE(Tree.SelectFolder(), C);
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
    Tree.SetRootFolder(A);
    Tree.SetSelectFolder(B);
    Tree.SetSelectFolder(Dir.filePath(target));
    QCOMPARE(Shown(Tree), B);
    QVERIFY(Tree.SelectFolder().isEmpty());
  }

  void rootChangesAreAnnounced() {
    TplExplorerFolderTree Tree(nullptr);
    QSignalSpy Changed(&Tree, &TplExplorerFolderTree::RootFolderChanged);
    Tree.SetRootFolder(A);
    Tree.SetRootFolder(A);  // the same folder again: nothing
    QCOMPARE(Changed.count(), 1);
    Tree.SetRootFolder(QString());
    Tree.SetRootFolder(QString());  // the whole file system always re-roots
    QCOMPARE(Changed.count(), 3);
    Tree.SetRootFolder(Dir.filePath("missing"));
    QCOMPARE(Changed.count(), 3);
    QCOMPARE(Tree.RootFolder(), QString());
  }
};

QTEST_MAIN(FolderTreeTest)
#include "FolderTreeTest.moc"
