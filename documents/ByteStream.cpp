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
int OpenRegularFile(const std::string& path, std::uint64_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

std::function<int(FileStep)>& FaultHook() {
  static std::function<int(FileStep)> hook;
  return hook;
}

// Runs one file-system step unless the test hook makes it fail.
template <class Op>
bool Step(FileStep step, Op op) {
  if (FaultHook()) {
    if (const int err = FaultHook()(step); err != 0) {
      errno = err;
      return false;
    }
  }
  return op();
}

mode_t CreationMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The permissions of a replaced regular file in the folder dirFd, else the
// usual ones.
mode_t ModeFor(int dirFd, const std::string& name) {
  struct stat st {};
  if (::fstatat(dirFd, name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return CreationMode();
}

// A fresh hidden file beside name in the folder dirFd; its name is returned
// in tmp.
int CreateTempBeside(int dirFd, const std::string& name, std::string& tmp) {
  static std::mt19937_64 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmp = "." + name.substr(0, 200) + ".lintorra-" + std::to_string(rng() % 1000000000) + ".tmp";
    int fd = -1;
    Step(FileStep::Create, [&] {
      fd = ::openat(dirFd, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      return fd >= 0;
    });
    if (fd >= 0) ::fchmod(fd, ModeFor(dirFd, name));
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes the whole file under the temporary name and renames it over name.
bool WriteAndRename(int dirFd, const std::string& name, const std::function<bool(ByteWriter&)>& body) {
  std::string tmp;
  const int fd = CreateTempBeside(dirFd, name, tmp);
  if (fd < 0) return false;
  FileSink sink(fd);
  bool ok;
  {
    ByteWriter w(sink);
    try {
      ok = body(w) && w.Flush();
    } catch (...) {
      ok = false;
    }
  }
  ok = ok && Step(FileStep::Sync, [&] { return ::fsync(fd) == 0; });
  ok = Step(FileStep::Close, [&] { return sink.Close(); }) && ok;
  ok = ok && Step(FileStep::Rename, [&] { return ::renameat(dirFd, tmp.c_str(), dirFd, name.c_str()) == 0; });
  if (!ok) ::unlinkat(dirFd, tmp.c_str(), 0);
  return ok;
}

}  // namespace

ByteReader::ByteReader(std::span<const std::uint8_t> data)
    : begin_(data.data()), cur_(data.data()), end_(data.data() + data.size()), total_(data.size()) {}

std::optional<ByteReader> ByteReader::OpenFile(std::u16string_view path) {
  ByteReader r;
  r.fd_ = OpenRegularFile(ToNativeName(path), r.total_);
  if (r.fd_ < 0) return std::nullopt;
  r.buffer_ = std::make_unique<std::uint8_t[]>(kReadBuffer);
  r.begin_ = r.cur_ = r.end_ = r.buffer_.get();
  return r;
}

ByteReader::ByteReader(ByteReader&& o) noexcept { *this = std::move(o); }

ByteReader& ByteReader::operator=(ByteReader&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    begin_ = o.begin_;
    cur_ = o.cur_;
    end_ = o.end_;
    consumed_ = o.consumed_;
    total_ = o.total_;
    fd_ = o.fd_;
    buffer_ = std::move(o.buffer_);
    o.fd_ = -1;
    o.begin_ = o.cur_ = o.end_ = nullptr;
  }
  return *this;
}

ByteReader::~ByteReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool ByteReader::Refill() {
  if (fd_ < 0 || Position() >= total_) return false;
  consumed_ = Position();
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadBuffer, total_ - consumed_));
  ssize_t got;
  do {
    got = ::read(fd_, buffer_.get(), want);
  } while (got < 0 && errno == EINTR);
  begin_ = cur_ = buffer_.get();
  end_ = begin_ + (got > 0 ? got : 0);
  if (got <= 0) total_ = consumed_;  // the file ended early or cannot be read
  return got > 0;
}

std::size_t ByteReader::Read(void* dst, std::size_t n) {
  auto* out = static_cast<std::uint8_t*>(dst);
  std::size_t done = 0;
  while (done < n) {
    if (cur_ == end_ && !Refill()) break;
    const std::size_t k = std::min<std::size_t>(n - done, static_cast<std::size_t>(end_ - cur_));
    std::memcpy(out + done, cur_, k);
    cur_ += k;
    done += k;
  }
  return done;
}

std::size_t ByteReader::Skip(std::uint64_t n) {
  const std::uint64_t k = std::min(n, Remaining());
  const std::uint64_t inWindow = static_cast<std::uint64_t>(end_ - cur_);
  if (k <= inWindow) {
    cur_ += k;
  } else {
    consumed_ = Position() + k;
    begin_ = cur_ = end_ = buffer_ ? buffer_.get() : end_;
    if (fd_ >= 0) ::lseek(fd_, static_cast<off_t>(consumed_), SEEK_SET);
  }
  return static_cast<std::size_t>(k);
}

FileSink::FileSink(int fd) : fd_(fd) {}

std::unique_ptr<FileSink> FileSink::Create(std::u16string_view path) {
  const std::string p = ToNativeName(path);
  const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, CreationMode());
  return fd >= 0 ? std::unique_ptr<FileSink>(new FileSink(fd)) : nullptr;
}

FileSink::~FileSink() { Close(); }

bool FileSink::Put(const std::uint8_t* data, std::size_t n) {
  while (n > 0 && fd_ >= 0) {
    ssize_t w = -1;
    if (!Step(FileStep::Write, [&] { return (w = ::write(fd_, data, n)) > 0; })) {
      if (w < 0 && errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return n == 0;
}

bool FileSink::Close() {
  if (fd_ < 0) return false;
  const bool ok = ::close(fd_) == 0;
  fd_ = -1;
  return ok;
}

bool MemorySink::Put(const std::uint8_t* data, std::size_t n) {
  bytes.insert(bytes.end(), data, data + n);
  return true;
}

ByteWriter::ByteWriter(ByteSink& sink) : sink_(sink), buffer_(kWriteBuffer) {}

void ByteWriter::Write(const void* data, std::size_t n) {
  const auto* in = static_cast<const std::uint8_t*>(data);
  if (n >= buffer_.size()) {
    Flush();
    if (!failed_ && !sink_.Put(in, n)) failed_ = true;
    return;
  }
  if (used_ + n > buffer_.size()) Flush();
  std::memcpy(buffer_.data() + used_, in, n);
  used_ += n;
}

void ByteWriter::Fill(std::uint8_t value, std::size_t n) {
  std::uint8_t block[256];
  std::memset(block, value, sizeof block);
  for (; n > 0;) {
    const std::size_t k = std::min(n, sizeof block);
    Write(block, k);
    n -= k;
  }
}

bool ByteWriter::Flush() {
  if (used_ > 0 && !failed_ && !sink_.Put(buffer_.data(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}

bool WriteFileReplacing(std::u16string_view path, const std::function<bool(ByteWriter&)>& body, OnFailure onFailure) {
  const std::string target = ToNativeName(path);
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) return false;
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return false;
  const bool ok = WriteAndRename(dirFd, name, body);
  if (!ok && onFailure == OnFailure::DeleteDestination) ::unlinkat(dirFd, name.c_str(), 0);
  ::close(dirFd);
  return ok;
}

void SetFileStepFaultHook(std::function<int(FileStep)> hook) { FaultHook() = std::move(hook); }
