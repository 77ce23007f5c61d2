#include "ui/UiFonts.h"

#include <QStringList>

namespace {

QFont FontOf(const QStringList& Families, int PixelSize) {
  QFont Font;
  Font.setFamilies(Families);
  Font.setPixelSize(PixelSize);
  return Font;
}

}  // namespace

QFont FormFont() { return FontOf({"Tahoma", "Noto Sans CJK JP"}, 13); }

QFont GothicFont(int PixelSize) {
  return FontOf({QStringLiteral("ＭＳ ゴシック"), "MS Gothic", "Noto Sans Mono CJK JP"}, PixelSize);
}
