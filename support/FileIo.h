// The one low-level file layer: a descriptor owner, opening and creating
// regular files without ever blocking on a FIFO or device, whole reads and
// writes, the copy loop, and the atomic replacement of a file. Everything
// above reads and writes files through these.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// Owns a file descriptor and closes it when it goes.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int Fd) : Fd_(Fd) {}
  ~FileHandle() { Close(); }
  FileHandle(FileHandle&& Other) noexcept;
  FileHandle& operator=(FileHandle&& Other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int Get() const { return Fd_; }
  bool Valid() const { return Fd_ >= 0; }
  // False when the close reports an error (written data may be lost) or
  // nothing was open.
  bool Close();

 private:
  int Fd_ = -1;
};

// Opens the regular file at Path for reading; Info, when given, receives its
// status. The entry is opened without blocking and refused unless the
// opened descriptor is a regular file, so a FIFO or device put in its place
// at any moment cannot stall the program. Invalid on any failure, with errno
// telling why (EISDIR for a folder, ENXIO for a FIFO or device).
FileHandle OpenRegularFile(std::u16string_view Path, struct stat* Info = nullptr);
// Creates the file at Path for writing, truncating a regular file of that
// name, never following a link and refusing what is not a regular file.
FileHandle CreateRegularFile(std::u16string_view Path);

// Reads until N bytes are in or the file ends; the bytes read, or -1.
std::ptrdiff_t ReadFully(int Fd, void* Data, std::size_t N);
// Writes all N bytes; false when that fails.
bool WriteFully(int Fd, const void* Data, std::size_t N);

// How a copy ended.
struct TCopyResult {
  std::uint64_t Taken = 0;  // bytes taken from the source
  bool Failed = false;      // a read or a write failed
};
// Moves up to Limit bytes from Read to Write through one 64 KiB buffer.
// Read(Buffer, N) delivers up to N bytes and returns how many: 0 when the
// source has ended, a negative number when it failed. Write(Data, N)
// returns false when the bytes could not all be stored. The copy stops at
// the first failure.
TCopyResult CopyBytes(std::uint64_t Limit, const std::function<std::ptrdiff_t(std::uint8_t*, std::size_t)>& Read,
                      const std::function<bool(const std::uint8_t*, std::size_t)>& Write);

// Where a writer's bytes go. Put returns false when the bytes could not all
// be stored.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Put(const std::uint8_t* Data, std::size_t N) = 0;
};

// A file open for writing from its start, owned by the caller; Put writes
// through at once. Every few megabytes it asks the system to start writing
// the new bytes out to the disk, so that the sync at the end of a save
// waits for little more than the last of them while the rest went out
// during the work.
class FileSink : public ByteSink {
 public:
  explicit FileSink(int Fd) : Fd_(Fd) {}
  bool Put(const std::uint8_t* Data, std::size_t N) override;
  // The system's error number of the first Put that failed, else 0.
  int Error() const { return Error_; }

 private:
  int Fd_;
  std::uint64_t Written_ = 0;   // bytes put so far
  std::uint64_t WriteOut_ = 0;  // bytes whose writing out has been started
  int Error_ = 0;
};

// What WriteFileReplacing does with an older file at the destination when
// the write fails.
enum class OnFailure {
  DeleteDestination,  // no file of that name remains (a document save)
  KeepDestination,    // the older file stays as it was
};

// Writes a file through a hidden temporary file ".<name>.lintorra-*.tmp" in
// the same folder, flushed to the disk and then renamed over the
// destination, so the destination never holds a half-written file; a
// replaced file's permissions are kept. The body writes the content into the
// sink and returns false (or throws) to give up. On any failure the
// temporary file is removed, the destination treated as OnFailure says, and
// the result is false, with errno holding the error of the step that failed
// (0 when the body gave up on its own). The folder is held open throughout:
// if it is renamed or removed meanwhile, nothing is left behind in it.
bool WriteFileReplacing(std::u16string_view Path, const std::function<bool(ByteSink&)>& Body,
                        OnFailure OnFailure = OnFailure::DeleteDestination);

// Fault injection for tests: the file-system steps of WriteFileReplacing
// (Write also stands for every Put of a FileSink).
enum class FileStep { Create, Write, Sync, Close, Rename };
// When set, the hook is asked before every step and returns 0 to let it run
// or an errno value to make it fail with that error. An empty hook clears it.
void SetFileStepFaultHook(std::function<int(FileStep)> Hook);
// When set, every FileSink hands the hook the bytes of each Put, with their
// offset in the file, before it writes them; the hook may change them (a
// disk that stores other bytes than it was given). An empty hook clears it.
void SetFileWriteTamperHook(std::function<void(std::uint64_t Offset, std::span<std::uint8_t> Data)> Hook);
