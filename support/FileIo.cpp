#include "support/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/Func_2.h"

namespace {

constexpr std::size_t kCopyChunk = 1 << 16;
// How many new bytes a FileSink lets gather before it starts writing them out.
constexpr std::uint64_t kWriteBehind = std::uint64_t{4} << 20;

std::function<int(FileStep)>& FaultHook() {
  static std::function<int(FileStep)> Hook;
  return Hook;
}

std::function<void(std::uint64_t, std::span<std::uint8_t>)>& TamperHook() {
  static std::function<void(std::uint64_t, std::span<std::uint8_t>)> Hook;
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

// Keeps Fd when it is a regular file, in blocking mode again; Info receives
// its status. Refused, errno tells why (EISDIR for a folder, ENXIO for a
// FIFO or device).
FileHandle OnlyRegular(FileHandle F, struct stat* Info) {
  struct stat St {};
  if (!F.Valid() || ::fstat(F.Get(), &St) != 0) return FileHandle();
  if (!S_ISREG(St.st_mode)) {
    errno = S_ISDIR(St.st_mode) ? EISDIR : ENXIO;
    return FileHandle();
  }
  ::fcntl(F.Get(), F_SETFL, ::fcntl(F.Get(), F_GETFL) & ~O_NONBLOCK);
  if (Info) *Info = St;
  return F;
}

mode_t CreationMode() {
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return 0666 & ~Mask;
}

// The permissions of a replaced regular file in the folder DirFd, else the
// usual ones.
mode_t ModeFor(int DirFd, const std::string& Name) {
  struct stat St {};
  if (::fstatat(DirFd, Name.c_str(), &St, 0) == 0 && S_ISREG(St.st_mode)) return St.st_mode & 07777;
  return CreationMode();
}

// A fresh hidden file beside Name in the folder DirFd; its name is returned
// in Tmp.
FileHandle CreateTempBeside(int DirFd, const std::string& Name, std::string& Tmp) {
  static std::mt19937_64 Rng{std::random_device{}()};
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    Tmp = "." + Name.substr(0, 200) + ".lintorra-" + std::to_string(Rng() % 1000000000) + ".tmp";
    FileHandle F;
    Step(FileStep::Create, [&] {
      F = FileHandle(::openat(DirFd, Tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
      return F.Valid();
    });
    if (F.Valid()) ::fchmod(F.Get(), ModeFor(DirFd, Name));
    if (F.Valid() || errno != EEXIST) return F;
  }
  return FileHandle();
}

// The error of the first step that failed, kept through the clean-up.
class TFirstError {
 public:
  // Ok, or notes errno (or Err when given) as the failure if none came before.
  bool Note(bool Ok, int Err = -1) {
    if (!Ok && Err_ == 0) Err_ = Err >= 0 ? Err : errno;
    return Ok;
  }
  // For a false result: errno set to the first failure's error.
  bool Fail() const {
    errno = Err_;
    return false;
  }

 private:
  int Err_ = 0;
};

// Writes the whole file under the temporary name and renames it over Name.
bool WriteAndRename(int DirFd, const std::string& Name, const std::function<bool(ByteSink&)>& Body,
                    TFirstError& Error) {
  std::string Tmp;
  FileHandle F = CreateTempBeside(DirFd, Name, Tmp);
  if (!Error.Note(F.Valid())) return false;
  FileSink Sink(F.Get());
  bool Ok;
  try {
    Ok = Body(Sink);
  } catch (...) {
    Ok = false;
  }
  Ok = Error.Note(Ok, Sink.Error());
  Ok = Ok && Error.Note(Step(FileStep::Sync, [&] { return ::fsync(F.Get()) == 0; }));
  Ok = Error.Note(Step(FileStep::Close, [&] { return F.Close(); })) && Ok;
  Ok = Ok &&
       Error.Note(Step(FileStep::Rename, [&] { return ::renameat(DirFd, Tmp.c_str(), DirFd, Name.c_str()) == 0; }));
  if (!Ok) ::unlinkat(DirFd, Tmp.c_str(), 0);
  return Ok;
}

}  // namespace

FileHandle::FileHandle(FileHandle&& Other) noexcept : Fd_(std::exchange(Other.Fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& Other) noexcept {
  if (this != &Other) {
    Close();
    Fd_ = std::exchange(Other.Fd_, -1);
  }
  return *this;
}

bool FileHandle::Close() {
  if (Fd_ < 0) return false;
  const bool Ok = ::close(Fd_) == 0;
  Fd_ = -1;
  return Ok;
}

FileHandle OpenRegularFile(std::u16string_view Path, struct stat* Info) {
  if (Path.empty()) {
    errno = ENOENT;
    return FileHandle();
  }
  return OnlyRegular(FileHandle(::open(ToPath(Path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)), Info);
}

FileHandle CreateRegularFile(std::u16string_view Path) {
  if (Path.empty()) return FileHandle();
  constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  return OnlyRegular(FileHandle(::open(ToPath(Path).c_str(), kFlags, 0666)), nullptr);
}

std::ptrdiff_t ReadFully(int Fd, void* Data, std::size_t N) {
  auto* P = static_cast<std::uint8_t*>(Data);
  std::size_t Got = 0;
  while (Got < N) {
    const ssize_t K = ::read(Fd, P + Got, N - Got);
    if (K < 0 && errno == EINTR) continue;
    if (K < 0) return -1;
    if (K == 0) break;
    Got += static_cast<std::size_t>(K);
  }
  return static_cast<std::ptrdiff_t>(Got);
}

bool WriteFully(int Fd, const void* Data, std::size_t N) {
  const auto* P = static_cast<const std::uint8_t*>(Data);
  while (N > 0) {
    const ssize_t K = ::write(Fd, P, N);
    if (K < 0 && errno == EINTR) continue;
    if (K <= 0) return false;
    P += K;
    N -= static_cast<std::size_t>(K);
  }
  return true;
}

TCopyResult CopyBytes(std::uint64_t Limit, const std::function<std::ptrdiff_t(std::uint8_t*, std::size_t)>& Read,
                      const std::function<bool(const std::uint8_t*, std::size_t)>& Write) {
  const auto Buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyChunk);
  TCopyResult R;
  while (R.Taken < Limit) {
    const std::ptrdiff_t Got =
        Read(Buffer.get(), static_cast<std::size_t>(std::min<std::uint64_t>(Limit - R.Taken, kCopyChunk)));
    if (Got <= 0) {
      R.Failed = Got < 0;
      break;
    }
    R.Taken += static_cast<std::uint64_t>(Got);
    if (!Write(Buffer.get(), static_cast<std::size_t>(Got))) {
      R.Failed = true;
      break;
    }
  }
  return R;
}

bool FileSink::Put(const std::uint8_t* Data, std::size_t N) {
  if (N == 0) return true;
  std::vector<std::uint8_t> Tampered;
  if (TamperHook()) {
    Tampered.assign(Data, Data + N);
    TamperHook()(Written_, Tampered);
    Data = Tampered.data();
  }
  if (!Step(FileStep::Write, [&] { return WriteFully(Fd_, Data, N); })) {
    if (Error_ == 0) Error_ = errno;
    return false;
  }
  Written_ += N;
  if (Written_ - WriteOut_ >= kWriteBehind) {
    // Only a hint: the sync reports what did not reach the disk.
    ::sync_file_range(Fd_, static_cast<off_t>(WriteOut_), static_cast<off_t>(Written_ - WriteOut_),
                      SYNC_FILE_RANGE_WRITE);
    WriteOut_ = Written_;
  }
  return true;
}

bool WriteFileReplacing(std::u16string_view Path, const std::function<bool(ByteSink&)>& Body, OnFailure OnFailure) {
  const std::string Target = ToNativeName(Path);
  const std::size_t Slash = Target.rfind('/');
  const std::string Dir = Slash == std::string::npos ? "." : Slash == 0 ? "/" : Target.substr(0, Slash);
  const std::string Name = Slash == std::string::npos ? Target : Target.substr(Slash + 1);
  TFirstError Error;
  if (!Error.Note(!Name.empty(), EINVAL)) return Error.Fail();
  const FileHandle Folder(::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!Error.Note(Folder.Valid())) return Error.Fail();
  const bool Ok = WriteAndRename(Folder.Get(), Name, Body, Error);
  if (!Ok && OnFailure == OnFailure::DeleteDestination) ::unlinkat(Folder.Get(), Name.c_str(), 0);
  return Ok || Error.Fail();
}

void SetFileStepFaultHook(std::function<int(FileStep)> Hook) { FaultHook() = std::move(Hook); }

void SetFileWriteTamperHook(std::function<void(std::uint64_t, std::span<std::uint8_t>)> Hook) {
  TamperHook() = std::move(Hook);
}
