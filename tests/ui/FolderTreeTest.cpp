// The folder tree: its root, the program's selection that does not count as
// the user's, and the user's selection that SelectFolder reports.
#include <QFileSystemModel>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <cmath>

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

// Relative luminance and contrast ratio as the accessibility guidelines
// define them.
double Luminance(QRgb C) {
  const auto Channel = [](int V) {
    const double X = V / 255.0;
    return X <= 0.03928 ? X / 12.92 : std::pow((X + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * Channel(qRed(C)) + 0.7152 * Channel(qGreen(C)) + 0.0722 * Channel(qBlue(C));
}
double Contrast(QRgb A, QRgb B) {
  const double La = Luminance(A), Lb = Luminance(B);
  return (std::max(La, Lb) + 0.05) / (std::min(La, Lb) + 0.05);
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

  // The selected folder with the keyboard focus, drawn in its red: the text
  // stands out from the selection behind it by at least 4.5 : 1.
  void selectedFolderIsLegible() {
    TplExplorerFolderTree Tree(nullptr);
    Tree.resize(300, 400);
    Tree.SetRootFolder(QString());
    Tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Tree));
    ClickFolder(Tree, C_);
    Tree.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Tree));
    QTRY_VERIFY(Tree.View()->hasFocus());
    const QRect Item = Tree.View()->visualRect(Tree.View()->currentIndex());
    const QImage Shot = Tree.View()->viewport()->grab(Item).toImage();
    // The selection right of the name, inside its outline; the text is the
    // pixel of the name that differs most from it.
    const QRgb Background = Shot.pixel(Shot.width() - 4, Shot.height() / 2);
    QRgb Text = Background;
    for (int Y = 0; Y < Shot.height(); ++Y)
      for (int X = 0; X < Shot.width() / 2; ++X)
        if (Contrast(Shot.pixel(X, Y), Background) > Contrast(Text, Background)) Text = Shot.pixel(X, Y);
    QVERIFY2(Contrast(Text, Background) >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3")
                                                               .arg(QColor(Text).name(), QColor(Background).name())
                                                               .arg(Contrast(Text, Background))));
    QVERIFY2(qRed(Text) > 2 * qGreen(Text) && qRed(Text) > 2 * qBlue(Text), qPrintable(QColor(Text).name()));
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
