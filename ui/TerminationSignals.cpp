#include "ui/TerminationSignals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may only write to a descriptor; the event loop reads the
// other end.
int SignalPipe[2] = {-1, -1};

extern "C" void OnSignal(int) {
  const char Byte = 1;
  [[maybe_unused]] const ssize_t Written = ::write(SignalPipe[1], &Byte, 1);
}

void HandleSignals(void (*Handler)(int)) {
  struct sigaction Action = {};
  Action.sa_handler = Handler;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  for (const int Signal : kSignals) ::sigaction(Signal, &Action, nullptr);
}

}  // namespace

TTerminationSignals::TTerminationSignals(QWidget& Window) : Window_(Window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, SignalPipe) != 0) return;
  Notifier_ = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
  connect(Notifier_, &QSocketNotifier::activated, this, &TTerminationSignals::Received);
  HandleSignals(OnSignal);
}

TTerminationSignals::~TTerminationSignals() {
  if (!Notifier_) return;
  HandleSignals(SIG_DFL);
  delete Notifier_;
  for (int& Fd : SignalPipe) {
    ::close(Fd);
    Fd = -1;
  }
}

void TTerminationSignals::Received() {
  char Bytes[16];
  while (::read(SignalPipe[0], Bytes, sizeof Bytes) > 0) {
  }
  HandleSignals(SIG_DFL);
  Window_.close();
}
