// A request to end by signal (SIGTERM from a logout or kill, SIGHUP, SIGINT)
// closes the window as its close button does, so that the INI file is
// written; a second signal while it closes ends the process as before.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Handles the signals for the life of the object; one at a time.
class TTerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TTerminationSignals(QWidget& Window);
  ~TTerminationSignals() override;
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

 private:
  void Received();

  QWidget& Window_;
  QSocketNotifier* Notifier_ = nullptr;
};
