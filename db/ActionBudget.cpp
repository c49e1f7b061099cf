#include "ActionBudget.h"

#include "Connection.h"

#include <utility>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace zelmar::db {

ActionBudget::~ActionBudget()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

ActionBudget::Scope::Scope(ActionBudget* budget, std::chrono::milliseconds total)
    : m_budget(budget)
{
    if (!m_budget)
        return;
    std::lock_guard lock(m_budget->m_mutex);
    if (m_budget->m_depth++ == 0) {
        m_budget->m_total = total;
        m_budget->m_spent = std::chrono::milliseconds(0);
        if (m_budget->m_calls > 0)
            m_budget->m_callStart = Clock::now();
        m_budget->armLocked();
    }
}

ActionBudget::Scope::~Scope()
{
    if (!m_budget)
        return;
    std::shared_ptr<Connection> held; // closed once the lock is let go: closing unwatches its socket
    std::lock_guard lock(m_budget->m_mutex);
    if (--m_budget->m_depth == 0) {
        held = std::move(m_budget->m_held);
        m_budget->armLocked();
    }
}

std::shared_ptr<Connection> ActionBudget::connectionFor(const Profile& profile, const Timeouts& timeouts)
{
    std::shared_ptr<Connection> previous;
    std::lock_guard lock(m_mutex);
    if (m_depth == 0)
        return std::make_shared<Connection>(profile, timeouts);
    if (m_held && m_held->profile() == profile)
        return m_held;
    previous = std::exchange(m_held, std::make_shared<Connection>(profile, timeouts));
    return m_held;
}

std::chrono::milliseconds ActionBudget::remainingLocked() const
{
    auto spent = m_spent;
    if (m_calls > 0)
        spent += std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_callStart);
    return m_total - spent;
}

std::optional<std::chrono::milliseconds> ActionBudget::remaining() const
{
    std::lock_guard lock(m_mutex);
    if (m_depth == 0)
        return std::nullopt;
    return std::max(std::chrono::milliseconds(0), remainingLocked());
}

bool ActionBudget::exhausted() const
{
    const auto left = remaining();
    return left && left->count() <= 0;
}

void ActionBudget::callStarted()
{
    std::lock_guard lock(m_mutex);
    if (m_calls++ == 0) {
        m_callStart = Clock::now();
        armLocked();
    }
}

void ActionBudget::callEnded(bool answered)
{
    std::lock_guard lock(m_mutex);
    if (m_calls > 0 && --m_calls == 0) {
        if (m_depth > 0 && !answered)
            m_spent += std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_callStart);
        armLocked();
    }
}

// The watchdog's deadline runs only while an action has a call in flight; its thread
// starts with the first such deadline, so work outside actions never pays for one.
void ActionBudget::armLocked()
{
    if (m_depth > 0 && m_calls > 0)
        m_deadline = m_callStart + (m_total - m_spent);
    else
        m_deadline.reset();
    if (m_deadline && !m_watchdog.joinable())
        m_watchdog = std::thread([this] { run(); });
    m_changed.notify_all();
}

int ActionBudget::watch(qintptr socket)
{
    std::lock_guard lock(m_mutex);
    const int ticket = m_nextTicket++;
    m_sockets[ticket] = socket;
    m_changed.notify_all();
    return ticket;
}

void ActionBudget::unwatch(int ticket)
{
    std::lock_guard lock(m_mutex);
    m_sockets.erase(ticket);
}

void ActionBudget::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!m_deadline || m_sockets.empty()) {
            m_changed.wait(lock);
            continue;
        }
        if (Clock::now() < *m_deadline) {
            m_changed.wait_until(lock, *m_deadline);
            continue;
        }
        // Time is up: every blocked read or write of the action returns at once. The
        // sockets stay open until their connections close them (under this same lock
        // they cannot have been closed and reused meanwhile).
        for (const auto& [ticket, socket] : m_sockets) {
#ifdef Q_OS_WIN
            ::shutdown(SOCKET(socket), SD_BOTH);
#else
            ::shutdown(int(socket), SHUT_RDWR);
#endif
        }
        m_sockets.clear();
    }
}

void ActionBudget::noteAnswered(bool answered)
{
    std::lock_guard lock(m_mutex);
    m_silent = !answered;
}

bool ActionBudget::serverSilent() const
{
    std::lock_guard lock(m_mutex);
    return m_silent;
}

void ActionBudget::noteThread(unsigned long thread)
{
    std::lock_guard lock(m_mutex);
    m_lastThread = thread;
}

unsigned long ActionBudget::lastThread() const
{
    std::lock_guard lock(m_mutex);
    return m_lastThread;
}

} // namespace zelmar::db
