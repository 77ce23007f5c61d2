#include "display/DrawingImages.h"

#include <zlib.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cmath>

#include "documents/ByteStream.h"

namespace {

constexpr std::u16string_view kImagePrefix = u"^@BM";
constexpr std::u16string_view kTempFolder = u"%temp%";
constexpr std::uint64_t kMaxFileBytes = 64ull << 20;
constexpr std::size_t kMaxInflated = 256u << 20;
constexpr int kMaxImageSide = 16384;
constexpr int kMaxImageMegabytes = 512;
constexpr double kMaxSizeMm = 1e6;

std::optional<double> Number(std::u16string_view S) {
  const QString Q = QString::fromUtf16(S.data(), static_cast<qsizetype>(S.size())).trimmed();
  bool Ok = false;
  const double V = Q.toDouble(&Ok);
  if (!Ok || !std::isfinite(V)) return std::nullopt;
  return V;
}

QByteArray Inflate(const QByteArray& In) {
  z_stream Z{};
  if (inflateInit2(&Z, 16 + MAX_WBITS) != Z_OK) return {};
  QByteArray Out;
  char Buf[1 << 16];
  Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(In.data()));
  Z.avail_in = static_cast<uInt>(In.size());
  int Rc = Z_OK;
  while (Rc == Z_OK) {
    Z.next_out = reinterpret_cast<Bytef*>(Buf);
    Z.avail_out = sizeof Buf;
    Rc = inflate(&Z, Z_NO_FLUSH);
    if (Rc != Z_OK && Rc != Z_STREAM_END) break;
    Out.append(Buf, static_cast<qsizetype>(sizeof Buf - Z.avail_out));
    if (static_cast<std::size_t>(Out.size()) > kMaxInflated || (Rc == Z_OK && Z.avail_in == 0 && Z.avail_out != 0))
      break;
  }
  inflateEnd(&Z);
  return Rc == Z_STREAM_END ? Out : QByteArray();
}

QByteArray ReadBytes(const std::u16string& Path) {
  auto R = ByteReader::OpenFile(Path);
  if (!R || R->Remaining() > kMaxFileBytes) return {};
  QByteArray Bytes(static_cast<qsizetype>(R->Remaining()), Qt::Uninitialized);
  if (R->Read(Bytes.data(), static_cast<std::size_t>(Bytes.size())) != static_cast<std::size_t>(Bytes.size()))
    return {};
  return Bytes;
}

}  // namespace

std::u16string TImageReference::BoundName() const {
  return Path.starts_with(kTempFolder) ? Path.substr(kTempFolder.size()) : std::u16string();
}

std::optional<TImageReference> ParseImageReference(std::u16string_view Text) {
  if (!Text.starts_with(kImagePrefix)) return std::nullopt;
  Text.remove_prefix(kImagePrefix.size());
  const std::size_t Comma = Text.find(u',');
  TImageReference Ref;
  if (Comma == std::u16string_view::npos) return Ref;
  Ref.Path = std::u16string(Text.substr(0, Comma));
  std::u16string_view Rest = Text.substr(Comma + 1);
  const std::size_t Second = Rest.find(u',');
  const auto W = Number(Rest.substr(0, Second));
  const auto H = Second == std::u16string_view::npos
                     ? std::nullopt
                     : Number(Rest.substr(Second + 1, Rest.find(u',', Second + 1) - Second - 1));
  if (W && H && *W > 0 && *H > 0 && *W <= kMaxSizeMm && *H <= kMaxSizeMm) {
    Ref.Width = *W;
    Ref.Height = *H;
  }
  return Ref;
}

QImage ReadImageFile(const std::u16string& Path, bool Gzipped) {
  QByteArray Bytes = ReadBytes(Path);
  if (Gzipped) Bytes = Inflate(Bytes);
  if (Bytes.isEmpty()) return {};
  QBuffer Buffer(&Bytes);
  QImageReader Reader(&Buffer);
  Reader.setAllocationLimit(kMaxImageMegabytes);
  const QSize Size = Reader.size();
  if (Size.isValid() && (Size.width() > kMaxImageSide || Size.height() > kMaxImageSide)) return {};
  QImage Image;
  if (!Reader.read(&Image)) return {};
  return Image;
}
