#include "ui/Anchors.h"

#include <QWidget>

namespace {

QSize Part(QSize Delta, int Edges) {
  return {(Edges & kRightEdge) ? Delta.width() : 0, (Edges & kBottomEdge) ? Delta.height() : 0};
}

}  // namespace

void TAnchors::Add(QWidget* W, int Moves, int Grows) { Entries_.append({W, W->geometry(), Moves, Grows}); }

void TAnchors::Apply(QSize Delta) const {
  for (const TEntry& E : Entries_) {
    const QSize Move = Part(Delta, E.Moves);
    E.Widget->setGeometry(
        QRect(E.Design.topLeft() + QPoint(Move.width(), Move.height()), E.Design.size() + Part(Delta, E.Grows)));
  }
}
