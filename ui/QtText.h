// The bridge between the core's UTF-16 strings and Qt's.
#pragma once

#include <QString>
#include <string>
#include <string_view>

inline QString Q(std::u16string_view S) {
  return QString(reinterpret_cast<const QChar*>(S.data()), static_cast<qsizetype>(S.size()));
}

inline std::u16string U(const QString& S) { return S.toStdU16String(); }
