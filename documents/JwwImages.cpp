// The image section of JWW files from version 7.00 on: images bound into the
// drawing are extracted into the working folder while loading and written
// back while saving when a text still refers to them.
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

constexpr std::size_t kCopyChunk = 1 << 16;
constexpr std::u16string_view kTempReference = u"^@BM%temp%";

// Only a plain file name may be joined to the working folder: a stored name
// with a folder part must never reach outside it.
bool IsPlainFileName(std::u16string_view n) {
  return !n.empty() && n != u"." && n != u".." && n.find_first_of(u"/\\:") == std::u16string_view::npos;
}

std::u16string WithoutGz(const std::u16string& name) {
  return FileExtLower(name) == u".gz" ? name.substr(0, name.size() - 3) : name;
}

// Copies size bytes of the drawing into a new file at path. A failure
// removes the partial file; the rest of the entry's data is consumed.
void ExtractImage(ByteReader& r, const std::u16string& path, std::int32_t size) {
  std::uint64_t left = static_cast<std::uint64_t>(size);
  const std::unique_ptr<FileSink> file = FileSink::Create(path);
  bool ok = file != nullptr;
  std::uint8_t buf[kCopyChunk];
  while (ok && left > 0) {
    const std::size_t got = r.Read(buf, static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buf)));
    if (got == 0) break;
    left -= got;
    ok = file->Put(buf, got);
  }
  if (file) ok = file->Close() && ok;
  if (!ok) {
    if (file) FileDeleteQuiet(path);
    r.Skip(left);
  }
}

// Copies an image file into the drawing: its size, then its bytes. False when
// it cannot be read whole.
bool CopyImageFile(ArchiveOut& out, const std::u16string& path) {
  auto in = ByteReader::OpenFile(path);
  if (!in) return false;
  const std::uint64_t size = in->Remaining();
  out.Put(static_cast<std::int32_t>(size));
  std::uint8_t buf[kCopyChunk];
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t got = in->Read(buf, static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buf)));
    if (got == 0) return false;
    out.writer().Write(buf, got);
    left -= got;
  }
  return true;
}

bool IsWritableImage(const std::u16string& path) {
  auto in = ByteReader::OpenFile(path);
  return in && in->Remaining() <= 0x7FFFFFFF;
}

// Finds for a reference the first image, in list order, whose upper-cased
// name begins with the upper-cased reference. The names are upper-cased once
// and sorted, so the names with a given beginning form one run; a tree of
// minimum list positions gives the first of a run. A drawing with many
// references and many images is thus marked in n log n, not in n squared.
class ImagePrefixIndex {
 public:
  explicit ImagePrefixIndex(const std::vector<TBindImageType>& images) {
    sorted_.reserve(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) sorted_.emplace_back(TextUpper(images[i].Fname), i);
    std::sort(sorted_.begin(), sorted_.end());
    first_.resize(2 * sorted_.size());
    for (std::size_t i = 0; i < sorted_.size(); ++i) first_[sorted_.size() + i] = sorted_[i].second;
    for (std::size_t i = sorted_.size(); i-- > 1;) first_[i] = std::min(first_[2 * i], first_[2 * i + 1]);
  }

  // The list position of the first match, or nullopt.
  std::optional<std::size_t> FirstBeginningWith(std::u16string_view upper) const {
    const auto lo = std::lower_bound(sorted_.begin(), sorted_.end(), upper, [](const Entry& e, std::u16string_view q) {
      return std::u16string_view(e.first) < q;
    });
    const auto hi = std::partition_point(lo, sorted_.end(), [&](const Entry& e) { return e.first.starts_with(upper); });
    if (lo == hi) return std::nullopt;
    std::size_t l = static_cast<std::size_t>(lo - sorted_.begin()) + sorted_.size();
    std::size_t r = static_cast<std::size_t>(hi - sorted_.begin()) + sorted_.size();
    std::size_t best = first_[l];
    for (; l < r; l /= 2, r /= 2) {
      if (l & 1) best = std::min(best, first_[l++]);
      if (r & 1) best = std::min(best, first_[--r]);
    }
    return best;
  }

 private:
  using Entry = std::pair<std::u16string, std::size_t>;
  std::vector<Entry> sorted_;
  std::vector<std::size_t> first_;  // minimum list positions, a tree over sorted_
};

}  // namespace

void TJwwData::ReadTail(ArchiveIn& in) {
  if (Enthd.jwVer < 700) return;
  BindImageInit();
  if (!BindImageExp && !BindImageExr) return;
  ByteReader& r = in.reader();
  std::int32_t count = 0;
  r.Get(count);
  for (std::int32_t i = 0; i < count && r.Remaining() > 0; ++i) {
    TBindImageType& e = BindImage.emplace_back();
    e.Fname = in.ReadStrClean();
    r.Get(e.Fsize);
    if (e.Fname.empty() || e.Fsize <= 0) continue;
    if (BindImageExp && !BindImageFolder.empty() && IsPlainFileName(e.Fname))
      ExtractImage(r, BindImageFolder + e.Fname, e.Fsize);
    else r.Skip(static_cast<std::uint64_t>(e.Fsize));
  }
}

void TJwwData::MarkReferencedImages() {
  for (TBindImageType& e : BindImage) e.exf = false;
  const ImagePrefixIndex index(BindImage);
  auto mark = [&](const std::u16string& s) {
    if (s.size() < 11 || !s.starts_with(kTempReference)) return;
    const std::size_t comma = s.find(u',');
    if (comma == std::u16string::npos || comma == kTempReference.size()) return;
    const std::u16string name =
        TextUpper(std::u16string_view(s).substr(kTempReference.size(), comma - kTempReference.size()));
    if (const auto first = index.FirstBeginningWith(name)) BindImage[*first].exf = true;
  };
  auto markTexts = [&](const ConstEntityLists& L) {
    for (const TEntJwwNo& no : L.no)
      if (no.EntType == kMoji && L.Valid(no)) mark(L.moji[static_cast<std::size_t>(no.EntNo)].str);
  };
  markTexts(Entities());
  for (const TEntJwwBlockDef& d : EntBlockDef) markTexts(Members(d));
}

bool TJwwData::WriteImages(ArchiveOut& out) {
  MarkReferencedImages();
  const bool enabled = (BindImageExp || BindImageExr) && !BindImageFolder.empty();
  std::int32_t count = 0;
  for (TBindImageType& e : BindImage) {
    e.exf = e.exf && enabled && IsPlainFileName(e.Fname) && IsWritableImage(BindImageFolder + e.Fname);
    count += e.exf ? 1 : 0;
  }
  out.Put(count);
  for (const TBindImageType& e : BindImage) {
    if (!e.exf) continue;
    out.WriteStr(e.Fname);
    if (!CopyImageFile(out, BindImageFolder + e.Fname)) return false;
  }
  return true;
}

void TJwwData::BindImageDeleteGzFile() const {
  if (BindImageFolder.empty()) return;
  for (const TBindImageType& e : BindImage)
    if (IsPlainFileName(e.Fname) && FileExtLower(e.Fname) == u".gz") FileDeleteQuiet(BindImageFolder + e.Fname);
}

void TJwwData::BindImageDeleteNonGzFile() const {
  if (BindImageFolder.empty()) return;
  for (const TBindImageType& e : BindImage) {
    const std::u16string name = WithoutGz(e.Fname);
    if (IsPlainFileName(name)) FileDeleteQuiet(BindImageFolder + name);
  }
}
