// The worker pool: jobs run side by side, each knows its worker, a job's
// exception reaches its future, and the queue is worked off before the end.
#include "support/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

TEST(WorkerPool, RunsJobsSideBySideEachOnAWorkerOfItsOwn) {
  TWorkerPool Pool(2);
  std::mutex M;
  std::condition_variable Cv;
  int Started = 0;
  std::vector<int> Workers;
  auto Job = [&](int Worker) {
    std::unique_lock<std::mutex> L(M);
    Workers.push_back(Worker);
    ++Started;
    Cv.notify_all();
    // Each job waits for the other: they end only when both run at once.
    Cv.wait_for(L, std::chrono::seconds(30), [&] { return Started == 2; });
  };
  auto A = Pool.Submit(Job);
  auto B = Pool.Submit(Job);
  A.get();
  B.get();
  EXPECT_EQ(Started, 2);
  ASSERT_EQ(Workers.size(), 2u);
  EXPECT_NE(Workers[0], Workers[1]);
  for (int W : Workers) EXPECT_TRUE(W == 0 || W == 1);
}

TEST(WorkerPool, HandsAJobsExceptionToItsFutureAndFinishesTheQueueAtItsEnd) {
  std::atomic<int> Ran = 0;
  std::future<void> Failing;
  {
    TWorkerPool Pool(1);
    Failing = Pool.Submit([](int) { throw std::runtime_error("job failed"); });
    for (int I = 0; I < 50; ++I) Pool.Submit([&](int) { ++Ran; });
  }
  EXPECT_THROW(Failing.get(), std::runtime_error);
  EXPECT_EQ(Ran, 50);
}

}  // namespace
