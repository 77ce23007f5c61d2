#include "support/WorkerPool.h"

TWorkerPool::TWorkerPool(int Workers) {
  for (int I = 0; I < Workers; ++I) Threads_.emplace_back([this, I] { Work(I); });
}

TWorkerPool::~TWorkerPool() {
  {
    std::lock_guard<std::mutex> L(Lock_);
    Ending_ = true;
  }
  Wake_.notify_all();
  for (std::thread& T : Threads_) T.join();
}

std::future<void> TWorkerPool::Submit(std::function<void(int Worker)> Job) {
  std::packaged_task<void(int)> Task(std::move(Job));
  std::future<void> Done = Task.get_future();
  {
    std::lock_guard<std::mutex> L(Lock_);
    Jobs_.push_back(std::move(Task));
  }
  Wake_.notify_one();
  return Done;
}

void TWorkerPool::Work(int Worker) {
  for (;;) {
    std::packaged_task<void(int)> Task;
    {
      std::unique_lock<std::mutex> L(Lock_);
      Wake_.wait(L, [this] { return Ending_ || !Jobs_.empty(); });
      if (Jobs_.empty()) return;
      Task = std::move(Jobs_.front());
      Jobs_.pop_front();
    }
    Task(Worker);
  }
}
