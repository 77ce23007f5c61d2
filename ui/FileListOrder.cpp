#include "ui/FileListOrder.h"

#include <algorithm>
#include <string>

#include "support/Func_2.h"

namespace {

char16_t FoldAscii(char16_t C) { return (C >= u'a' && C <= u'z') ? static_cast<char16_t>(C - u'a' + u'A') : C; }

std::u16string PadLeft(std::u16string_view S, std::size_t Length) {
  std::u16string Out(Length > S.size() ? Length - S.size() : 0, u' ');
  Out += S;
  return Out;
}

}  // namespace

int CompareText(std::u16string_view A, std::u16string_view B) {
  const std::size_t N = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < N; ++I) {
    const int D = static_cast<int>(FoldAscii(A[I])) - static_cast<int>(FoldAscii(B[I]));
    if (D != 0) return D;
  }
  return (A.size() < B.size()) ? -1 : (A.size() > B.size() ? 1 : 0);
}

int ListTextCompare(int Sort1, int Sort2, std::u16string_view A, std::u16string_view B) {
  std::u16string First(A), Second(B);
  if (Sort1 == kSizeColumn) {
    const std::size_t Length = std::max(First.size(), Second.size());
    First = PadLeft(First, Length);
    Second = PadLeft(Second, Length);
  }
  return Sort2 == 1 ? CompareText(Second, First) : CompareText(First, Second);
}

void SortByName(std::vector<TFileField>& Files) {
  std::sort(Files.begin(), Files.end(), [](const TFileField& A, const TFileField& B) {
    const int D = CompareText(A.name, B.name);
    return D != 0 ? D < 0 : A.name < B.name;
  });
}
