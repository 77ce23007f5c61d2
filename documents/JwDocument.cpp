#include "documents/JwDocument.h"

template <class Header>
bool TJwDocument<Header>::FileHeaderIn(std::u16string_view FName) {
  auto R = ByteReader::OpenFile(FName);
  if (R) return HeaderFrom(*R);
  DataInit();
  return false;
}

template <class Header>
bool TJwDocument<Header>::HeaderFrom(ByteReader& R) {
  DataInit();
  ArchiveIn In(R, MojiEncode);
  return ReadHeader(In);
}

template <class Header>
bool TJwDocument<Header>::FileIn(std::u16string_view FName) {
  auto R = ByteReader::OpenFile(FName);
  if (R) return LoadFrom(*R);
  DataInit();
  MakeBlockTree();
  return false;
}

template <class Header>
bool TJwDocument<Header>::LoadFrom(ByteReader& R) {
  DataInit();
  ArchiveIn In(R, MojiEncode);
  if (!ReadHeader(In)) return false;
  bool Ok = true;
  try {
    ReadBody(In, Enthd.jwVer, Enthd.n1, Enthd.n2);
    ReadTail(In);
  } catch (const ArchiveError&) {
    Ok = false;
  } catch (const std::bad_alloc&) {
    Ok = false;
  }
  MakeBlockTree();
  return Ok;
}

template <class Header>
bool TJwDocument<Header>::FileOut(std::u16string_view FName, std::int32_t Ver) {
  return WriteFileReplacing(FName, [&](ByteSink& Sink) {
    ByteWriter W(Sink);
    return SaveTo(W, Ver) && W.Flush();
  });
}

template class TJwDocument<TEntJwwHeader>;
template class TJwDocument<TEntJwsHeader>;
