// Threads that run the jobs handed to them, each job with the index of the
// worker that runs it, so that a job can use that worker's own objects.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

class TWorkerPool {
 public:
  explicit TWorkerPool(int Workers);
  // Runs the jobs still queued, then ends the workers.
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  int Workers() const { return static_cast<int>(Threads_.size()); }
  // Queues Job; the future is ready once a worker has run it (and holds
  // what it threw).
  std::future<void> Submit(std::function<void(int Worker)> Job);

 private:
  void Work(int Worker);

  std::mutex Lock_;
  std::condition_variable Wake_;
  std::deque<std::packaged_task<void(int)>> Jobs_;
  bool Ending_ = false;
  std::vector<std::thread> Threads_;
};
