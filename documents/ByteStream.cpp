#include "documents/ByteStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "support/Func_2.h"

namespace {

constexpr std::size_t kReadBuffer = 1 << 18;
// Below the allocators' mapping threshold: a save of a small file costs no
// fresh mapping, and writes still go out in large blocks.
constexpr std::size_t kWriteBuffer = 1 << 16;

// Opens a regular file read-only without ever blocking on a FIFO or device.
int OpenRegularFile(const std::string& Path, std::uint64_t& Size) {
  const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (Fd < 0) return -1;
  struct stat St {};
  if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) {
    ::close(Fd);
    return -1;
  }
  ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
  Size = static_cast<std::uint64_t>(St.st_size);
  return Fd;
}

std::function<int(FileStep)>& FaultHook() {
  static std::function<int(FileStep)> Hook;
  return Hook;
}

// Runs one file-system step unless the test hook makes it fail.
template <class TOp>
bool Step(FileStep Which, TOp Action) {
  if (FaultHook()) {
    if (const int Err = FaultHook()(Which); Err != 0) {
      errno = Err;
      return false;
    }
  }
  return Action();
}

mode_t CreationMode() {
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return 0666 & ~Mask;
}

// The permissions of a replaced regular file in the folder dirFd, else the
// usual ones.
mode_t ModeFor(int DirFd, const std::string& Name) {
  struct stat St {};
  if (::fstatat(DirFd, Name.c_str(), &St, 0) == 0 && S_ISREG(St.st_mode)) return St.st_mode & 07777;
  return CreationMode();
}

// A fresh hidden file beside name in the folder dirFd; its name is returned
// in tmp.
int CreateTempBeside(int DirFd, const std::string& Name, std::string& Tmp) {
  static std::mt19937_64 Rng{std::random_device{}()};
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    Tmp = "." + Name.substr(0, 200) + ".lintorra-" + std::to_string(Rng() % 1000000000) + ".tmp";
    int Fd = -1;
    Step(FileStep::Create, [&] {
      Fd = ::openat(DirFd, Tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      return Fd >= 0;
    });
    if (Fd >= 0) ::fchmod(Fd, ModeFor(DirFd, Name));
    if (Fd >= 0 || errno != EEXIST) return Fd;
  }
  return -1;
}

// Writes the whole file under the temporary name and renames it over name.
bool WriteAndRename(int DirFd, const std::string& Name, const std::function<bool(ByteWriter&)>& Body) {
  std::string Tmp;
  const int Fd = CreateTempBeside(DirFd, Name, Tmp);
  if (Fd < 0) return false;
  FileSink Sink(Fd);
  bool Ok;
  {
    ByteWriter W(Sink);
    try {
      Ok = Body(W) && W.Flush();
    } catch (...) {
      Ok = false;
    }
  }
  Ok = Ok && Step(FileStep::Sync, [&] { return ::fsync(Fd) == 0; });
  Ok = Step(FileStep::Close, [&] { return Sink.Close(); }) && Ok;
  Ok = Ok && Step(FileStep::Rename, [&] { return ::renameat(DirFd, Tmp.c_str(), DirFd, Name.c_str()) == 0; });
  if (!Ok) ::unlinkat(DirFd, Tmp.c_str(), 0);
  return Ok;
}

}  // namespace

ByteReader::ByteReader(std::span<const std::uint8_t> Data)
    : Begin_(Data.data()), Cur_(Data.data()), End_(Data.data() + Data.size()), Total_(Data.size()) {}

std::optional<ByteReader> ByteReader::OpenFile(std::u16string_view Path) {
  ByteReader R;
  R.Fd_ = OpenRegularFile(ToNativeName(Path), R.Total_);
  if (R.Fd_ < 0) return std::nullopt;
  R.Buffer_ = std::make_unique<std::uint8_t[]>(kReadBuffer);
  R.Begin_ = R.Cur_ = R.End_ = R.Buffer_.get();
  return R;
}

ByteReader::ByteReader(ByteReader&& O) noexcept { *this = std::move(O); }

ByteReader& ByteReader::operator=(ByteReader&& O) noexcept {
  if (this != &O) {
    if (Fd_ >= 0) ::close(Fd_);
    Begin_ = O.Begin_;
    Cur_ = O.Cur_;
    End_ = O.End_;
    Consumed_ = O.Consumed_;
    Total_ = O.Total_;
    Fd_ = O.Fd_;
    Buffer_ = std::move(O.Buffer_);
    O.Fd_ = -1;
    O.Begin_ = O.Cur_ = O.End_ = nullptr;
  }
  return *this;
}

ByteReader::~ByteReader() {
  if (Fd_ >= 0) ::close(Fd_);
}

bool ByteReader::Refill() {
  if (Fd_ < 0 || Position() >= Total_) return false;
  Consumed_ = Position();
  const std::size_t Want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadBuffer, Total_ - Consumed_));
  ssize_t Got;
  do {
    Got = ::read(Fd_, Buffer_.get(), Want);
  } while (Got < 0 && errno == EINTR);
  Begin_ = Cur_ = Buffer_.get();
  End_ = Begin_ + (Got > 0 ? Got : 0);
  if (Got <= 0) Total_ = Consumed_;  // the file ended early or cannot be read
  return Got > 0;
}

std::size_t ByteReader::Read(void* Dst, std::size_t N) {
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
    if (Fd_ >= 0) ::lseek(Fd_, static_cast<off_t>(Consumed_), SEEK_SET);
  }
  return static_cast<std::size_t>(K);
}

FileSink::FileSink(int Fd) : Fd_(Fd) {}

std::unique_ptr<FileSink> FileSink::Create(std::u16string_view Path) {
  const std::string P = ToNativeName(Path);
  const int Fd = ::open(P.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, CreationMode());
  return Fd >= 0 ? std::unique_ptr<FileSink>(new FileSink(Fd)) : nullptr;
}

FileSink::~FileSink() { Close(); }

bool FileSink::Put(const std::uint8_t* Data, std::size_t N) {
  while (N > 0 && Fd_ >= 0) {
    ssize_t W = -1;
    if (!Step(FileStep::Write, [&] { return (W = ::write(Fd_, Data, N)) > 0; })) {
      if (W < 0 && errno == EINTR) continue;
      return false;
    }
    Data += W;
    N -= static_cast<std::size_t>(W);
  }
  return N == 0;
}

bool FileSink::Close() {
  if (Fd_ < 0) return false;
  const bool Ok = ::close(Fd_) == 0;
  Fd_ = -1;
  return Ok;
}

bool MemorySink::Put(const std::uint8_t* Data, std::size_t N) {
  bytes.insert(bytes.end(), Data, Data + N);
  return true;
}

ByteWriter::ByteWriter(ByteSink& Sink) : Sink_(Sink), Buffer_(kWriteBuffer) {}

void ByteWriter::Write(const void* Data, std::size_t N) {
  const auto* In = static_cast<const std::uint8_t*>(Data);
  if (N >= Buffer_.size()) {
    Flush();
    if (!Failed_ && !Sink_.Put(In, N)) Failed_ = true;
    return;
  }
  if (Used_ + N > Buffer_.size()) Flush();
  std::memcpy(Buffer_.data() + Used_, In, N);
  Used_ += N;
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

bool WriteFileReplacing(std::u16string_view Path, const std::function<bool(ByteWriter&)>& Body, OnFailure OnFailure) {
  const std::string Target = ToNativeName(Path);
  const std::size_t Slash = Target.rfind('/');
  const std::string Dir = Slash == std::string::npos ? "." : Slash == 0 ? "/" : Target.substr(0, Slash);
  const std::string Name = Slash == std::string::npos ? Target : Target.substr(Slash + 1);
  if (Name.empty()) return false;
  const int DirFd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (DirFd < 0) return false;
  const bool Ok = WriteAndRename(DirFd, Name, Body);
  if (!Ok && OnFailure == OnFailure::DeleteDestination) ::unlinkat(DirFd, Name.c_str(), 0);
  ::close(DirFd);
  return Ok;
}

void SetFileStepFaultHook(std::function<int(FileStep)> Hook) { FaultHook() = std::move(Hook); }
