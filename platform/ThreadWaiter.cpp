#include "ThreadWaiter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace zelmar {

struct ThreadWaiter::Job
{
    const std::function<void()>& call;
    QEventLoop& loop;
    bool done = false;
};

ThreadWaiter::ThreadWaiter(std::function<void()> threadStarted, std::function<void()> threadEnding)
    : m_threadStarted(std::move(threadStarted))
    , m_threadEnding(std::move(threadEnding))
{}

ThreadWaiter::~ThreadWaiter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void ThreadWaiter::work()
{
    if (m_threadStarted)
        m_threadStarted();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            break;
        Job* job = m_jobs.front();
        m_jobs.pop_front();
        lock.unlock();
        job->call();
        lock.lock();
        // Under the lock: once the window's thread sees `done`, the quit has been posted, and the
        // loop that it went to may go (which drops the quit if it is still queued).
        job->done = true;
        QMetaObject::invokeMethod(&job->loop, &QEventLoop::quit, Qt::QueuedConnection);
        m_changed.notify_all();
    }
    lock.unlock();
    if (m_threadEnding)
        m_threadEnding();
}

void ThreadWaiter::run(const std::function<void()>& blockingCall)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        blockingCall();
        return;
    }
    QEventLoop loop;
    Job job{blockingCall, loop};
    {
        std::lock_guard lock(m_mutex);
        if (!m_worker.joinable())
            m_worker = std::thread([this] { work(); });
        m_jobs.push_back(&job);
    }
    m_changed.notify_all();
    ++m_waiting;
    bool done = false;
    {
        std::lock_guard lock(m_mutex);
        done = job.done;
    }
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Only the call's own quit ends the loop, unless the application is quitting (then every loop
    // returns at once): the rest of the wait has nothing left to paint.
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&job] { return job.done; });
    --m_waiting;
}

} // namespace zelmar
