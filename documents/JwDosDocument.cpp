#include "documents/JwDosDocument.h"

#include <cerrno>
#include <span>

#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "support/Func_2.h"

using namespace jwcrecords;

template <class Header>
bool TJwDosDocument<Header>::FileCheck(std::u16string_view FName) const {
  Bytes Head;
  if (!ReadFileHead(FName, Signature_.Size(), Head)) return Fail({TJwFault::CannotOpen, 0, errno});
  if (AnsiBytesToText(Head) != Signature_.Text()) return Fail({TJwFault::NotOfFormat, 0, 0, FormatName_});
  ClearError();
  return true;
}

template <class Header>
bool TJwDosDocument<Header>::FileHeaderIn(std::u16string_view FName) {
  Bytes Head;
  if (!ReadFileHead(FName, kRecordSize * static_cast<std::size_t>(HeaderRecords_), Head)) {
    const int Errno = errno;
    DataInit();
    return Fail({TJwFault::CannotOpen, 0, Errno});
  }
  ByteReader R{std::span<const std::uint8_t>(Head)};
  return HeaderFrom(R);
}

template <class Header>
bool TJwDosDocument<Header>::HeaderFrom(ByteReader& R) {
  DataInit();
  Bytes Head(kRecordSize * static_cast<std::size_t>(HeaderRecords_));
  ClearError();
  Head.resize(R.Read(Head.data(), Head.size()));
  RecordReader In(Head);
  return ReadHeader(In) || Fail({TJwFault::HeaderEndsEarly, Head.size()});
}

template <class Header>
bool TJwDosDocument<Header>::ReadTitle(RecordReader& In) {
  if (!In.Next()) return false;
  DecodeTitle(In.Record(), Enthd.jwID, Enthd.comment1, Enthd.comment2);
  return true;
}

template <class Header>
bool TJwDosDocument<Header>::ReadNumbers(RecordReader& In, int N) {
  if (!In.Next()) return false;
  SplitPara(DecodeNumbers(In.Record()), N);
  return true;
}

template <class Header>
void TJwDosDocument<Header>::SplitPara(const std::u16string& Text, int N) {
  Enthd.para = SplitFields(Text, N);
}

template class TJwDosDocument<TEntJwcHeader>;
template class TJwDosDocument<TEntJwkHeader>;
