// The image section of JWW files from version 7.00 on: images bound into the
// drawing are extracted into the working folder while loading and written
// back while saving when a text still refers to them.
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "documents/JwwUnit.h"
#include "support/FileIo.h"
#include "support/Func_2.h"

namespace {

constexpr std::u16string_view kTempReference = u"^@BM%temp%";

// Only a plain file name may be joined to the working folder: a stored name
// with a folder part must never reach outside it.
bool IsPlainFileName(std::u16string_view N) {
  return !N.empty() && N != u"." && N != u".." && N.find_first_of(u"/\\:") == std::u16string_view::npos;
}

// The reader as the source of a copy.
auto ReaderSource(ByteReader& R) {
  return [&R](std::uint8_t* P, std::size_t N) { return static_cast<std::ptrdiff_t>(R.Read(P, N)); };
}

std::u16string WithoutGz(const std::u16string& Name) {
  return FileExtLower(Name) == u".gz" ? Name.substr(0, Name.size() - 3) : Name;
}

// Copies Size bytes of the drawing into a new file at Path. A failure
// removes the partial file; the rest of the entry's data is consumed.
void ExtractImage(ByteReader& R, const std::u16string& Path, std::int32_t Size) {
  const std::uint64_t Want = static_cast<std::uint64_t>(Size);
  FileHandle File = CreateRegularFile(Path);
  if (!File.Valid()) {
    R.Skip(Want);
    return;
  }
  FileSink Sink(File.Get());
  const TCopyResult Copied =
      CopyBytes(Want, ReaderSource(R), [&](const std::uint8_t* P, std::size_t N) { return Sink.Put(P, N); });
  if (File.Close() && !Copied.Failed) return;
  FileDeleteQuiet(Path);
  R.Skip(Want - Copied.Taken);
}

// Copies an image file into the drawing: its size, then its bytes. False when
// it cannot be read whole.
bool CopyImageFile(ArchiveOut& Out, const std::u16string& Path) {
  auto In = ByteReader::OpenFile(Path);
  if (!In) return false;
  const std::uint64_t Size = In->Remaining();
  Out.Put(static_cast<std::int32_t>(Size));
  const TCopyResult Copied = CopyBytes(Size, ReaderSource(*In), [&](const std::uint8_t* P, std::size_t N) {
    Out.writer().Write(P, N);
    return true;
  });
  return Copied.Taken == Size;
}

bool IsWritableImage(const std::u16string& Path) {
  auto In = ByteReader::OpenFile(Path);
  return In && In->Remaining() <= 0x7FFFFFFF;
}

// Finds for a reference the first image, in list order, whose upper-cased
// name begins with the upper-cased reference. The names are upper-cased once
// and sorted, so the names with a given beginning form one run; a tree of
// minimum list positions gives the first of a run. A drawing with many
// references and many images is thus marked in n log n, not in n squared.
class ImagePrefixIndex {
 public:
  explicit ImagePrefixIndex(const std::vector<TBindImageType>& Images) {
    Sorted_.reserve(Images.size());
    for (std::size_t I = 0; I < Images.size(); ++I) Sorted_.emplace_back(TextUpper(Images[I].Fname), I);
    std::sort(Sorted_.begin(), Sorted_.end());
    First_.resize(2 * Sorted_.size());
    for (std::size_t I = 0; I < Sorted_.size(); ++I) First_[Sorted_.size() + I] = Sorted_[I].second;
    for (std::size_t I = Sorted_.size(); I-- > 1;) First_[I] = std::min(First_[2 * I], First_[2 * I + 1]);
  }

  // The list position of the first match, or nullopt.
  std::optional<std::size_t> FirstBeginningWith(std::u16string_view Upper) const {
    const auto Lo = std::lower_bound(Sorted_.begin(), Sorted_.end(), Upper, [](const Entry& E, std::u16string_view Q) {
      return std::u16string_view(E.first) < Q;
    });
    const auto Hi = std::partition_point(Lo, Sorted_.end(), [&](const Entry& E) { return E.first.starts_with(Upper); });
    if (Lo == Hi) return std::nullopt;
    std::size_t L = static_cast<std::size_t>(Lo - Sorted_.begin()) + Sorted_.size();
    std::size_t R = static_cast<std::size_t>(Hi - Sorted_.begin()) + Sorted_.size();
    std::size_t Best = First_[L];
    for (; L < R; L /= 2, R /= 2) {
      if (L & 1) Best = std::min(Best, First_[L++]);
      if (R & 1) Best = std::min(Best, First_[--R]);
    }
    return Best;
  }

 private:
  using Entry = std::pair<std::u16string, std::size_t>;
  std::vector<Entry> Sorted_;
  std::vector<std::size_t> First_;  // minimum list positions, a tree over sorted_
};

}  // namespace

void TJwwData::ReadTail(ArchiveIn& In) {
  if (Enthd.jwVer < kVerBoundImages) return;
  BindImageInit();
  if (!BindImageExp && !BindImageExr) return;
  ByteReader& R = In.reader();
  std::int32_t Count = 0;
  R.Get(Count);
  for (std::int32_t I = 0; I < Count && R.Remaining() > 0; ++I) {
    TBindImageType& E = BindImage.emplace_back();
    E.Fname = In.ReadStrClean();
    R.Get(E.Fsize);
    if (E.Fname.empty() || E.Fsize <= 0) continue;
    if (BindImageExp && !BindImageFolder.empty() && IsPlainFileName(E.Fname))
      ExtractImage(R, BindImageFolder + E.Fname, E.Fsize);
    else R.Skip(static_cast<std::uint64_t>(E.Fsize));
  }
}

void TJwwData::MarkReferencedImages() {
  for (TBindImageType& E : BindImage) E.exf = false;
  const ImagePrefixIndex Index(BindImage);
  auto Mark = [&](const std::u16string& S) {
    if (S.size() < 11 || !S.starts_with(kTempReference)) return;
    const std::size_t Comma = S.find(u',');
    if (Comma == std::u16string::npos || Comma == kTempReference.size()) return;
    const std::u16string Name =
        TextUpper(std::u16string_view(S).substr(kTempReference.size(), Comma - kTempReference.size()));
    if (const auto First = Index.FirstBeginningWith(Name)) BindImage[*First].exf = true;
  };
  auto MarkTexts = [&](const ConstEntityLists& L) {
    for (const TEntJwwNo& No : L.no)
      if (No.EntType == kMoji && L.Valid(No)) Mark(L.moji[static_cast<std::size_t>(No.EntNo)].str);
  };
  MarkTexts(Entities());
  for (const TEntJwwBlockDef& D : EntBlockDef) MarkTexts(Members(D));
}

bool TJwwData::WriteImages(ArchiveOut& Out) {
  MarkReferencedImages();
  const bool Enabled = (BindImageExp || BindImageExr) && !BindImageFolder.empty();
  std::int32_t Count = 0;
  for (TBindImageType& E : BindImage) {
    E.exf = E.exf && Enabled && IsPlainFileName(E.Fname) && IsWritableImage(BindImageFolder + E.Fname);
    Count += E.exf ? 1 : 0;
  }
  Out.Put(Count);
  for (const TBindImageType& E : BindImage) {
    if (!E.exf) continue;
    Out.WriteStr(E.Fname);
    if (!CopyImageFile(Out, BindImageFolder + E.Fname)) return Fail({TJwFault::ImageUnreadable, 0, 0, ToUtf8(E.Fname)});
  }
  return true;
}

void TJwwData::BindImageDeleteGzFile() const {
  if (BindImageFolder.empty()) return;
  for (const TBindImageType& E : BindImage)
    if (IsPlainFileName(E.Fname) && FileExtLower(E.Fname) == u".gz") FileDeleteQuiet(BindImageFolder + E.Fname);
}

void TJwwData::BindImageDeleteNonGzFile() const {
  if (BindImageFolder.empty()) return;
  for (const TBindImageType& E : BindImage) {
    const std::u16string Name = WithoutGz(E.Fname);
    if (IsPlainFileName(Name)) FileDeleteQuiet(BindImageFolder + Name);
  }
}
