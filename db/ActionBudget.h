#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace zelmar::db {

class Connection;
struct Profile;
struct Timeouts;

// How long one operator action may keep the window waiting on servers that do
// not answer, its retries, error records and checks included. The editor opens
// an action per handler. What the action spends is silence: a call to a server
// that gets its answer (a connect that succeeds, a statement that completes, an
// error the server sends) costs nothing however slow the link, while the time of
// a call that ends without one (a timeout, a lost link) counts, and so does the
// call in flight. Each wait is capped by what is left, and a watchdog shuts the
// sockets of the action's connections when the call in flight would spend the
// rest, so a server that trickles one answer cannot hold the window either.
// Outside an action only each single wait is bounded.
//
// It also holds the one connection that the operations of an action share (each
// connect costs round trips), and remembers whether the last server asked
// answered at all: an error record is not attempted on a server that has just
// failed to answer a connect.
class ActionBudget
{
public:
    static constexpr std::chrono::milliseconds defaultTotal{10000};

    ActionBudget() = default;
    ~ActionBudget();
    ActionBudget(const ActionBudget&) = delete;
    ActionBudget& operator=(const ActionBudget&) = delete;

    // An action for the life of the object; one opened inside another joins it. The end of the
    // outermost closes the connection the action held.
    class Scope
    {
    public:
        explicit Scope(ActionBudget* budget, std::chrono::milliseconds total = defaultTotal);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ActionBudget* m_budget;
    };

    // The connection for `profile`: inside an action the one it holds for the same profile
    // (open, or closed after a lost link), else a new one that it holds from now on in place
    // of the last; outside an action a new one of the caller's own.
    std::shared_ptr<Connection> connectionFor(const Profile& profile, const Timeouts& timeouts);

    // Time left for the open action; none outside an action.
    std::optional<std::chrono::milliseconds> remaining() const;
    bool exhausted() const;

    // One call to a server, from its request to its answer: its time counts against the
    // action only when it ends without an answer.
    void callStarted();
    void callEnded(bool answered);

    // Shuts `socket` down when the action's time runs out while it is open. Returns a ticket for unwatch.
    int watch(qintptr socket);
    void unwatch(int ticket);

    void noteAnswered(bool answered);
    bool serverSilent() const;

    // The server's thread of the connection opened last: after a lost answer, the check
    // waits until that thread has finished what it was sent.
    void noteThread(unsigned long thread);
    unsigned long lastThread() const;

private:
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds remainingLocked() const;
    void armLocked();
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_depth = 0; // open actions
    std::chrono::milliseconds m_total{0};
    std::chrono::milliseconds m_spent{0};
    int m_calls = 0; // calls in flight
    Clock::time_point m_callStart;
    std::optional<Clock::time_point> m_deadline;
    std::map<int, qintptr> m_sockets;
    int m_nextTicket = 1;
    bool m_silent = false;
    unsigned long m_lastThread = 0;
    std::shared_ptr<Connection> m_held;
    bool m_stop = false;
    std::thread m_watchdog;
};

} // namespace zelmar::db
