#include "documents/JwDocument.h"

template <class Header>
bool TJwDocument<Header>::FileHeaderIn(std::u16string_view FName) {
  auto r = ByteReader::OpenFile(FName);
  if (r) return HeaderFrom(*r);
  DataInit();
  return false;
}

template <class Header>
bool TJwDocument<Header>::HeaderFrom(ByteReader& r) {
  DataInit();
  ArchiveIn in(r, MojiEncode);
  return ReadHeader(in);
}

template <class Header>
bool TJwDocument<Header>::FileIn(std::u16string_view FName) {
  auto r = ByteReader::OpenFile(FName);
  if (r) return LoadFrom(*r);
  DataInit();
  MakeBlockTree();
  return false;
}

template <class Header>
bool TJwDocument<Header>::LoadFrom(ByteReader& r) {
  DataInit();
  ArchiveIn in(r, MojiEncode);
  if (!ReadHeader(in)) return false;
  bool ok = true;
  try {
    ReadBody(in, Enthd.jwVer, Enthd.n1, Enthd.n2);
    ReadTail(in);
  } catch (const ArchiveError&) {
    ok = false;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  MakeBlockTree();
  return ok;
}

template <class Header>
bool TJwDocument<Header>::FileOut(std::u16string_view FName, std::int32_t Ver) {
  return WriteFileReplacing(FName, [&](ByteWriter& w) { return SaveTo(w, Ver); });
}

template class TJwDocument<TEntJwwHeader>;
template class TJwDocument<TEntJwsHeader>;
