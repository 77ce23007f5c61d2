// The tables of the census and dry-run windows: rows of cells, each with
// its text, the value its column sorts by and, for a pen colour, the shade
// the drawing shows it in. The windows sort them through a proxy model on
// kSortRole and save them as CSV from the same texts.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "conversion/DryRun.h"
#include "conversion/PenCensus.h"
#include "ui/PenPalette.h"

inline constexpr int kSortRole = Qt::UserRole;

struct TTableCell {
  QString Text;
  qlonglong Sort = 0;
  std::optional<TPenShade> Shade;  // a colour cell: drawn in the pen's colour
  bool Number = false;             // aligned right
};
using TTableRow = std::vector<TTableCell>;

class TPenTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetTable(QStringList Header, std::vector<TTableRow> Rows);
  const QStringList& Header() const { return Header_; }
  const std::vector<TTableRow>& Rows() const { return Rows_; }

  int rowCount(const QModelIndex& Parent = {}) const override;
  int columnCount(const QModelIndex& Parent = {}) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

 private:
  QStringList Header_;
  std::vector<TTableRow> Rows_;
};

// 区分, 種類, 線色, 線種, 線幅, 数.
QStringList CensusHeader();
std::vector<TTableRow> CensusRows(const TPenCensus& C, const TPenPalette& P);
// 区分, 種類, the pen before and after (線色, 線種, 線幅 each), 数.
QStringList TransitionHeader();
std::vector<TTableRow> TransitionRows(const TTransitionTally& T, const TPenPalette& P);

// The lines of a window's CSV file: a column "ファイル" before the table's
// columns and "備考" after them.
class TCsvRows {
 public:
  explicit TCsvRows(const QStringList& Header);
  // The rows of one file's table (or of the total) as shown.
  void Add(const std::u16string& File, const std::vector<TTableRow>& Rows);
  // A file without a table, with what is to be said of it.
  void Note(const std::u16string& File, const std::u16string& Note);

  std::vector<std::vector<std::u16string>> Lines;
};
