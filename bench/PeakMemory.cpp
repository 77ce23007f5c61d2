#include "bench/PeakMemory.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

long PeakMemoryOfRun(const std::vector<std::string>& Argv) {
  std::vector<char*> Ptrs;
  for (const std::string& A : Argv) Ptrs.push_back(const_cast<char*>(A.c_str()));
  Ptrs.push_back(nullptr);
  pid_t Pid;
  if (posix_spawn(&Pid, Ptrs[0], nullptr, nullptr, Ptrs.data(), environ) != 0) return -1;
  int Status = 0;
  struct rusage Ru {};
  if (wait4(Pid, &Status, 0, &Ru) < 0 || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0) return -1;
  return Ru.ru_maxrss * 1024L;
}
