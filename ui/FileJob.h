// Work over many files on a worker thread, so that a window keeps answering
// while it goes on: the work asks StopRequested between files and hands what
// it found to the window's thread with Post. Finished comes after the last
// post. Whatever the work uses it owns (copies of its inputs, documents of
// its own); it reaches the window only through Post.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class QThread;

class TFileJob final : public QObject {
  Q_OBJECT

 public:
  using TWork = std::function<void(TFileJob& Job)>;

  TFileJob(TWork Work, QObject* Parent);
  // Stops the work and waits for it; posts not yet carried out are dropped.
  ~TFileJob() override;

  void Start();
  void RequestStop() { StopRequested_ = true; }
  bool StopRequested() const { return StopRequested_; }
  // From the work: runs Call on this object's thread, later.
  void Post(std::function<void()> Call);

 signals:
  void Finished();

 private:
  TWork Work_;
  std::atomic<bool> StopRequested_ = false;
  QThread* Thread_ = nullptr;
};
