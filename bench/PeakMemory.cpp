#include "bench/PeakMemory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

extern char** environ;

namespace {

// The descriptor on which the child hands its figure over.
constexpr int kPeakFd = 3;

}  // namespace

long PeakMemoryOfRun(const std::vector<std::string>& Argv) {
  std::vector<char*> Ptrs;
  for (const std::string& A : Argv) Ptrs.push_back(const_cast<char*>(A.c_str()));
  Ptrs.push_back(nullptr);
  int Pipe[2];
  if (::pipe2(Pipe, O_CLOEXEC) != 0) return -1;
  // Above the descriptor the child gets, so that its dup2 clears close-on-exec.
  const int WriteEnd = ::fcntl(Pipe[1], F_DUPFD_CLOEXEC, kPeakFd + 1);
  ::close(Pipe[1]);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, WriteEnd, kPeakFd);
  pid_t Pid;
  const bool Started = WriteEnd >= 0 && posix_spawn(&Pid, Ptrs[0], &Actions, nullptr, Ptrs.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&Actions);
  ::close(WriteEnd);
  std::string Text;
  char Buffer[64];
  for (ssize_t N; Started && (N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;) Text.append(Buffer, N);
  ::close(Pipe[0]);
  int Status = 0;
  if (!Started || ::waitpid(Pid, &Status, 0) < 0 || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0) return -1;
  long Peak = -1;
  return std::sscanf(Text.c_str(), "%ld", &Peak) == 1 ? Peak : -1;
}

int HandPeakMemoryOver(int Code) {
  if (::fcntl(kPeakFd, F_GETFD) < 0) return Code;  // run by hand: nobody to hand it to
  // VmHWM belongs to the memory of this program alone, from its start.
  std::ifstream Status("/proc/self/status");
  long KiB = -1;
  for (std::string Line; std::getline(Status, Line);)
    if (Line.starts_with("VmHWM:")) KiB = std::stol(Line.substr(6));
  const std::string Text = std::to_string(KiB * 1024);
  if (KiB < 0 || ::write(kPeakFd, Text.data(), Text.size()) != static_cast<ssize_t>(Text.size())) return 1;
  return Code;
}
