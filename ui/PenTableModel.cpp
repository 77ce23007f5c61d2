#include "ui/PenTableModel.h"

#include <QBrush>

#include "conversion/PenNames.h"
#include "ui/QtText.h"

namespace {

TTableCell Cell(const std::u16string& Text, qlonglong Sort) { return {Q(Text), Sort, std::nullopt, false}; }

TTableCell CountCell(std::int64_t N) { return {QString::number(N), N, std::nullopt, true}; }

TTableCell WhereCell(TPenWhere W) { return Cell(PenWhereName(W), static_cast<qlonglong>(W)); }

TTableCell KindCell(TPenKind K, std::int32_t Item) {
  return Cell(PenKindName(K, Item), static_cast<qlonglong>(K) * 1000 + Item);
}

// Colour, line type and width; a header pen has a colour only.
void PenCells(TTableRow& Row, TPenKind K, const TPen& Pen, const TPenPalette& P) {
  TTableCell Color = Cell(PenColorName(K, Pen.Color), Pen.Color);
  Color.Shade = P.Of(Pen.Color);
  Row.push_back(std::move(Color));
  if (IsHeaderKind(K)) {
    Row.push_back({QString(), -1, std::nullopt, false});
    Row.push_back({QString(), -1, std::nullopt, false});
    return;
  }
  Row.push_back(Cell(PenLtypeName(K, Pen.Ltype), Pen.Ltype));
  Row.push_back(Cell(PenWidthName(Pen.Width), Pen.Width));
}

}  // namespace

void TPenTableModel::SetTable(QStringList Header, std::vector<TTableRow> Rows) {
  beginResetModel();
  Header_ = std::move(Header);
  Rows_ = std::move(Rows);
  endResetModel();
}

int TPenTableModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int TPenTableModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(Header_.size());
}

QVariant TPenTableModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || Index.row() >= rowCount() || Index.column() >= columnCount()) return {};
  const TTableRow& Row = Rows_[static_cast<std::size_t>(Index.row())];
  if (static_cast<std::size_t>(Index.column()) >= Row.size()) return {};
  const TTableCell& C = Row[static_cast<std::size_t>(Index.column())];
  switch (Role) {
    case Qt::DisplayRole: return C.Text;
    case kSortRole: return C.Sort;
    case Qt::ForegroundRole: return C.Shade ? QVariant(QBrush(C.Shade->Pen)) : QVariant();
    case Qt::BackgroundRole: return C.Shade ? QVariant(QBrush(C.Shade->Background)) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter | (C.Number ? Qt::AlignRight : Qt::AlignLeft));
    default: return {};
  }
}

QVariant TPenTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole || Section < 0 || Section >= Header_.size()) return {};
  return Header_[Section];
}

QStringList CensusHeader() {
  return {QStringLiteral("区分"), QStringLiteral("種類"), QStringLiteral("線色"),
          QStringLiteral("線種"), QStringLiteral("線幅"), QStringLiteral("数")};
}

std::vector<TTableRow> CensusRows(const TPenCensus& C, const TPenPalette& P) {
  std::vector<TTableRow> Rows;
  for (const TPenCount& R : C.Rows()) {
    TTableRow Row{WhereCell(R.Key.Where), KindCell(R.Key.Kind, R.Key.Item)};
    PenCells(Row, R.Key.Kind, R.Key.Pen, P);
    Row.push_back(CountCell(R.Count));
    Rows.push_back(std::move(Row));
  }
  return Rows;
}

QStringList TransitionHeader() {
  return {QStringLiteral("区分"),         QStringLiteral("種類"),         QStringLiteral("変換前の線色"),
          QStringLiteral("変換前の線種"), QStringLiteral("変換前の線幅"), QStringLiteral("変換後の線色"),
          QStringLiteral("変換後の線種"), QStringLiteral("変換後の線幅"), QStringLiteral("数")};
}

std::vector<TTableRow> TransitionRows(const TTransitionTally& T, const TPenPalette& P) {
  std::vector<TTableRow> Rows;
  for (const TPenTransition& X : T.Rows()) {
    const TPenChange& C = X.Change;
    TTableRow Row{WhereCell(C.Where), KindCell(C.Kind, C.Item)};
    if (C.Added) {
      // Parts only the saved file holds: there is no pen before.
      Row.push_back({QStringLiteral("（追加）"), -1, std::nullopt, false});
      Row.push_back({QString(), -1, std::nullopt, false});
      Row.push_back({QString(), -1, std::nullopt, false});
    } else {
      PenCells(Row, C.Kind, C.Before, P);
    }
    PenCells(Row, C.Kind, C.After, P);
    Row.push_back(CountCell(X.Count));
    Rows.push_back(std::move(Row));
  }
  return Rows;
}

TCsvRows::TCsvRows(const QStringList& Header) {
  std::vector<std::u16string> Line{u"ファイル"};
  for (const QString& H : Header) Line.push_back(U(H));
  Line.push_back(u"備考");
  Lines.push_back(std::move(Line));
}

void TCsvRows::Add(const std::u16string& File, const std::vector<TTableRow>& Rows) {
  for (const TTableRow& Row : Rows) {
    std::vector<std::u16string> Line{File};
    for (const TTableCell& C : Row) Line.push_back(U(C.Text));
    Line.emplace_back();
    Lines.push_back(std::move(Line));
  }
}

void TCsvRows::Note(const std::u16string& File, const std::u16string& Note) {
  std::vector<std::u16string> Line(Lines.front().size());
  Line.front() = File;
  Line.back() = Note;
  Lines.push_back(std::move(Line));
}
