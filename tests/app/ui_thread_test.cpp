// Work handed to the user-interface thread: a worker's message is shown there (never on
// the worker), and a hand-over that is waited for runs there or, on a stop, never.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "app/services.h"
#include "support/fake_services.h"

namespace torva::test {
namespace {

class CQueuedUiThread final : public IUiThread {
 public:
  bool IsUiThread() override { return std::this_thread::get_id() == m_owner; }
  void Post(std::function<void()> task) override {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
  }
  size_t Pending() {
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
  }
  void Pump() {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard lock(m_mutex);
      tasks.swap(m_tasks);
    }
    for (auto& t : tasks) t();
  }

 private:
  std::thread::id m_owner = std::this_thread::get_id();
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
};

TEST(UiThread, WorkerMessagesAndHandOversRunOnTheUserInterfaceThread) {
  ScopedFakeServices services;
  CQueuedUiThread ui;
  InstallUiThread(&ui);

  // A message from a worker: the worker goes on at once, the message shows when the
  // user-interface thread runs its queue.
  std::thread([] { ShowMessage("m_QueueRead FULL!"); }).join();
  EXPECT_TRUE(services.ui.MessageTexts().empty());
  ui.Pump();
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{"m_QueueRead FULL!"});

  // A hand-over that is waited for: true once it ran on this thread.
  std::atomic<bool> stop{false};
  std::atomic<int> result{-1};
  std::thread::id ranOn;
  std::thread worker([&] {
    result =
        RunOnUiThread([&] { ranOn = std::this_thread::get_id(); }, [&] { return stop.load(); });
  });
  while (ui.Pending() == 0) std::this_thread::yield();
  ui.Pump();
  worker.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // Given up on a stop before it started: false, and it never runs later.
  bool ran = false;
  std::thread late(
      [&] { result = RunOnUiThread([&] { ran = true; }, [&] { return stop.load(); }); });
  while (ui.Pending() == 0) std::this_thread::yield();
  stop = true;
  late.join();
  ui.Pump();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(ran);
  InstallUiThread(nullptr);
}

}  // namespace
}  // namespace torva::test
