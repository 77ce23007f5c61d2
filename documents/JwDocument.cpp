#include "documents/JwDocument.h"

#include <cerrno>

#include "support/StreamDigest.h"

template <class Header>
bool TJwDocument<Header>::FileHeaderIn(std::u16string_view FName) {
  auto R = ByteReader::OpenFile(FName);
  if (R) return HeaderFrom(*R);
  const int Errno = errno;
  DataInit();
  return Fail({TJwFault::CannotOpen, 0, Errno});
}

template <class Header>
bool TJwDocument<Header>::HeaderFrom(ByteReader& R) {
  ClearError();
  DataInit();
  ArchiveIn In(R, MojiEncode);
  return ReadHeader(In);
}

template <class Header>
bool TJwDocument<Header>::FileIn(std::u16string_view FName) {
  auto R = ByteReader::OpenFile(FName);
  if (R) return LoadFrom(*R);
  const int Errno = errno;
  DataInit();
  MakeBlockTree();
  return Fail({TJwFault::CannotOpen, 0, Errno});
}

template <class Header>
bool TJwDocument<Header>::LoadFrom(ByteReader& R) {
  ClearError();
  DataInit();
  ArchiveIn In(R, MojiEncode);
  if (!ReadHeader(In)) return false;
  bool Ok = true;
  try {
    ReadBody(In, Enthd.jwVer, Enthd.n1, Enthd.n2);
    ReadTail(In);
  } catch (const ArchiveError& E) {
    Ok = Fail(ReasonOf(E.Error, R));
  } catch (const std::bad_alloc&) {
    Ok = Fail({TJwFault::OutOfMemory, R.Position()});
  }
  MakeBlockTree();
  return Ok;
}

namespace {

// Hands the bytes on and adds them to a digest.
class TDigestingSink final : public ByteSink {
 public:
  TDigestingSink(ByteSink& Next, TStreamDigest& Digest) : Next_(Next), Digest_(Digest) {}
  bool Put(const std::uint8_t* Data, std::size_t N) override {
    Digest_.Add(Data, N);
    return Next_.Put(Data, N);
  }

 private:
  ByteSink& Next_;
  TStreamDigest& Digest_;
};

}  // namespace

template <class Header>
bool TJwDocument<Header>::FileOut(std::u16string_view FName, std::int32_t Ver) {
  ClearError();
  TStreamDigest Written;
  const bool Ok = WriteFileReplacing(FName, [&](ByteSink& File) {
    TDigestingSink Digesting(File, Written);
    ByteWriter W(SaveDigest_ ? static_cast<ByteSink&>(Digesting) : File);
    try {
      return SaveTo(W, Ver) && W.Flush();
    } catch (const std::bad_alloc&) {
      return Fail({TJwFault::OutOfMemory});
    }
  });
  // The save's own reason comes first; otherwise the file system refused.
  if (!Ok && !LastError()) Fail({TJwFault::CannotWrite, 0, errno});
  if (Ok && SaveDigest_) SavedDigest_ = Written.Value();
  return Ok;
}

template class TJwDocument<TEntJwwHeader>;
template class TJwDocument<TEntJwsHeader>;
