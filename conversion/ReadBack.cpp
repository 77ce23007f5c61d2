#include "conversion/ReadBack.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "conversion/Conversion.h"
#include "documents/ByteStream.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/StreamDigest.h"

namespace {

// Takes the bytes of a save and compares them with those of a file, up to
// the first difference; refuses more bytes from there on.
class TComparingSink final : public ByteSink {
 public:
  explicit TComparingSink(ByteReader& Expected) : Expected_(Expected), Chunk_(1 << 16) {}

  bool Put(const std::uint8_t* Data, std::size_t N) override {
    while (N > 0 && !Differs_) {
      const std::size_t K = std::min(N, Chunk_.size());
      const std::size_t Got = Expected_.Read(Chunk_.data(), K);
      if (Got == K && std::memcmp(Data, Chunk_.data(), K) == 0) {
        Digest_.Add(Data, K);
        Same_ += K;
      } else {
        Same_ += static_cast<std::uint64_t>(std::mismatch(Data, Data + Got, Chunk_.data()).first - Data);
        Differs_ = true;
      }
      Data += K;
      N -= K;
    }
    return !Differs_;
  }

  // After the last Put: the file holds bytes the save did not give.
  bool LongerThanSaved() const { return Expected_.Remaining() > 0; }
  bool Differs() const { return Differs_; }
  std::uint64_t Same() const { return Same_; }              // the bytes equal so far
  std::uint64_t Digest() const { return Digest_.Value(); }  // of those bytes

 private:
  ByteReader& Expected_;
  std::vector<std::uint8_t> Chunk_;
  std::uint64_t Same_ = 0;
  TStreamDigest Digest_;
  bool Differs_ = false;
};

template <class Doc>
TJwError ReadBackInto(Doc& D, std::u16string_view Path, std::uint64_t Written) {
  std::optional<ByteReader> In = ByteReader::OpenFile(Path);
  std::optional<ByteReader> Expected = In ? ByteReader::OpenFile(Path) : std::nullopt;
  if (!In || !Expected) return {TJwFault::ReadBackUnreadable, 0, errno};
  if (!D.LoadFrom(*In)) {
    if (In->ReadError() != 0) return {TJwFault::ReadBackUnreadable, 0, In->ReadError()};
    return {TJwFault::ReadBackDiffers, In->Position()};
  }
  ChooseOutputForm(D);
  TComparingSink Sink(*Expected);
  ByteWriter W(Sink);
  const bool Saved = D.SaveTo(W, D.Enthd.jwVer) && W.Flush();
  if (Sink.Differs() || (Saved && Sink.LongerThanSaved())) return {TJwFault::ReadBackDiffers, Sink.Same()};
  if (!Saved) return D.LastError();
  if (Sink.Digest() != Written) return {TJwFault::SavedBytesChanged};
  return {};
}

}  // namespace

TJwError ReadBack(TJwwData& JWW, std::u16string_view Path, std::uint64_t Written) {
  return ReadBackInto(JWW, Path, Written);
}
TJwError ReadBack(TJwsData& JWS, std::u16string_view Path, std::uint64_t Written) {
  return ReadBackInto(JWS, Path, Written);
}
