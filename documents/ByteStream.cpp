#include "documents/ByteStream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kReadBuffer = 1 << 18;
// Below the allocators' mapping threshold: a save of a small file costs no
// fresh mapping, and writes still go out in large blocks.
constexpr std::size_t kWriteBuffer = 1 << 16;

}  // namespace

ByteReader::ByteReader(std::span<const std::uint8_t> Data)
    : Begin_(Data.data()), Cur_(Data.data()), End_(Data.data() + Data.size()), Total_(Data.size()) {}

std::optional<ByteReader> ByteReader::OpenFile(std::u16string_view Path) {
  ByteReader R;
  struct stat Info {};
  R.File_ = OpenRegularFile(Path, &Info);
  if (!R.File_.Valid()) return std::nullopt;
  R.Total_ = static_cast<std::uint64_t>(Info.st_size);
  R.Buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kReadBuffer);
  R.Begin_ = R.Cur_ = R.End_ = R.Buffer_.get();
  return R;
}

ByteReader::ByteReader(ByteReader&& O) noexcept { *this = std::move(O); }

ByteReader& ByteReader::operator=(ByteReader&& O) noexcept {
  if (this != &O) {
    Begin_ = std::exchange(O.Begin_, nullptr);
    Cur_ = std::exchange(O.Cur_, nullptr);
    End_ = std::exchange(O.End_, nullptr);
    Consumed_ = O.Consumed_;
    Total_ = O.Total_;
    ReadError_ = O.ReadError_;
    File_ = std::move(O.File_);
    Buffer_ = std::move(O.Buffer_);
  }
  return *this;
}

ByteReader::~ByteReader() = default;

bool ByteReader::Refill() {
  if (!File_.Valid() || Position() >= Total_) return false;
  Consumed_ = Position();
  const std::size_t Want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadBuffer, Total_ - Consumed_));
  const std::ptrdiff_t Got = ReadFully(File_.Get(), Buffer_.get(), Want);
  Begin_ = Cur_ = Buffer_.get();
  End_ = Begin_ + (Got > 0 ? Got : 0);
  if (Got < 0) ReadError_ = errno;
  if (Got <= 0) Total_ = Consumed_;  // the file ended early or cannot be read
  return Got > 0;
}

std::size_t ByteReader::ReadAcross(void* Dst, std::size_t N) {
  auto* Out = static_cast<std::uint8_t*>(Dst);
  std::size_t Done = 0;
  while (Done < N) {
    if (Cur_ == End_ && !Refill()) break;
    const std::size_t K = std::min<std::size_t>(N - Done, static_cast<std::size_t>(End_ - Cur_));
    std::memcpy(Out + Done, Cur_, K);
    Cur_ += K;
    Done += K;
  }
  return Done;
}

std::size_t ByteReader::Skip(std::uint64_t N) {
  const std::uint64_t K = std::min(N, Remaining());
  const std::uint64_t InWindow = static_cast<std::uint64_t>(End_ - Cur_);
  if (K <= InWindow) {
    Cur_ += K;
  } else {
    Consumed_ = Position() + K;
    Begin_ = Cur_ = End_ = Buffer_ ? Buffer_.get() : End_;
    if (File_.Valid()) ::lseek(File_.Get(), static_cast<off_t>(Consumed_), SEEK_SET);
  }
  return static_cast<std::size_t>(K);
}

bool MemorySink::Put(const std::uint8_t* Data, std::size_t N) {
  bytes.insert(bytes.end(), Data, Data + N);
  return true;
}

ByteWriter::ByteWriter(ByteSink& Sink) : Sink_(Sink), Buffer_(kWriteBuffer) {}

void ByteWriter::WriteAcross(const void* Data, std::size_t N) {
  const auto* In = static_cast<const std::uint8_t*>(Data);
  Flush();
  if (N >= Buffer_.size()) {
    if (!Failed_ && !Sink_.Put(In, N)) Failed_ = true;
    return;
  }
  std::memcpy(Buffer_.data(), In, N);
  Used_ = N;
}

void ByteWriter::Fill(std::uint8_t Value, std::size_t N) {
  std::uint8_t Block[256];
  std::memset(Block, Value, sizeof Block);
  for (; N > 0;) {
    const std::size_t K = std::min(N, sizeof Block);
    Write(Block, K);
    N -= K;
  }
}

bool ByteWriter::Flush() {
  if (Used_ > 0 && !Failed_ && !Sink_.Put(Buffer_.data(), Used_)) Failed_ = true;
  Used_ = 0;
  return !Failed_;
}
