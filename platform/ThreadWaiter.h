#pragma once

#include "Interaction.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zelmar {

// Runs each blocking call on one long-lived worker thread while the window's thread waits for it
// in an event loop that holds back the operator's input: the window repaints and the desktop
// sees it answer, no handler of the operator's runs in the middle of the call, and the wait
// spends no CPU. Timers still fire meanwhile (see Waiter::waiting). Called from any other thread,
// or without an application, the call runs where it is made.
class ThreadWaiter : public Waiter
{
public:
    // `threadStarted` and `threadEnding` run on the worker as it starts and before it ends
    // (a client library's set-up of a thread).
    explicit ThreadWaiter(std::function<void()> threadStarted = {}, std::function<void()> threadEnding = {});
    ~ThreadWaiter() override;
    ThreadWaiter(const ThreadWaiter&) = delete;
    ThreadWaiter& operator=(const ThreadWaiter&) = delete;

    void run(const std::function<void()>& blockingCall) override;
    bool waiting() const override { return m_waiting > 0; }

private:
    struct Job;
    void work();

    std::function<void()> m_threadStarted;
    std::function<void()> m_threadEnding;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job*> m_jobs;
    bool m_stop = false;
    std::thread m_worker;
    int m_waiting = 0; // calls under way, counted on the window's thread
};

} // namespace zelmar
