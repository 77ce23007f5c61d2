#include "ui/CsvSave.h"

#include "support/Csv.h"
#include "ui/Prompts.h"
#include "ui/QtText.h"

QString AskAndSaveCsv(QWidget* Parent, const QString& Proposed, const std::vector<std::vector<std::u16string>>& Rows) {
  const QString Path = Prompts().ChooseFile(
      Parent, {QStringLiteral("CSV保存"), QStringLiteral("CSVファイル(*.csv)"), QStringLiteral("csv"), true},
      ProposedInExistingFolder(Proposed));
  if (Path.isEmpty()) return Path;
  if (!WriteCsvFile(U(Path), Rows))
    Prompts().Message(Parent, TMessageIcon::Error, QStringLiteral("CSVファイルを保存できませんでした。\r\n") + Path);
  return Path;
}
