#include "support/fOpen.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "support/Func_2.h"

extern char** environ;

namespace {

// Waits for the child in the background so it leaves no zombie behind, and
// tells Done how it ended.
void ReapLater(pid_t Pid, std::function<void(bool)> Done) {
  try {
    std::thread([Pid, Done = std::move(Done)] {
      int Status = 0;
      pid_t R = 0;
      while ((R = ::waitpid(Pid, &Status, 0)) < 0 && errno == EINTR) {
      }
      if (Done) Done(R == Pid && WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
    }).detach();
  } catch (...) {
    // No thread to spare: the child is reaped when the program ends.
  }
}

}  // namespace

void TMisc::Open(const std::u16string& SCommand, std::function<void(bool Opened)> Done) {
  std::string Path = ToNativeName(SCommand);
  if (Path.empty()) {
    if (Done) Done(false);
    return;
  }
  if (Path.front() == '-') Path.insert(0, "./");  // never read as an option

  posix_spawn_file_actions_t Actions;
  posix_spawnattr_t Attributes;
  posix_spawn_file_actions_init(&Actions);
  posix_spawnattr_init(&Attributes);
  // Detached from our terminal and input, so the opened program outlives us.
  posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSID);

  char Program[] = "xdg-open";
  char* Argv[] = {Program, Path.data(), nullptr};
  pid_t Pid = 0;
  if (::posix_spawnp(&Pid, Program, &Actions, &Attributes, Argv, environ) == 0) ReapLater(Pid, std::move(Done));
  else if (Done) Done(false);

  posix_spawnattr_destroy(&Attributes);
  posix_spawn_file_actions_destroy(&Actions);
}
