// Widgets placed at their design geometry that follow a window as it is
// enlarged beyond its design size: each moves with some of the window's
// right and bottom edges and grows with others (its left and top edges
// otherwise hold).
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

enum TAnchor { kStays = 0, kRightEdge = 1, kBottomEdge = 2 };

class TAnchors {
 public:
  // Records W's geometry now as its design geometry.
  void Add(QWidget* W, int Moves, int Grows);
  // Places every widget for a window Delta larger than its design size.
  void Apply(QSize Delta) const;

 private:
  struct TEntry {
    QWidget* Widget;
    QRect Design;
    int Moves;
    int Grows;
  };
  QList<TEntry> Entries_;
};
