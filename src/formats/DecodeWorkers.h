// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Worker threads for decoding, the only threads of the program besides the user-interface one.
// A job decodes into data of its own; whoever submitted it takes the result once the job is
// done (Done or Wait, which also order the job's writes before the taker's reads). Jobs run
// highest priority first, in submission order within a priority; a job that has not started
// can be withdrawn. A job submitted held waits until it is released or awaited, so that work
// the window needs first does not share the processors with it.
//
// Without threads (the tests' seam) jobs wait in the queue until RunQueued runs them or Wait
// runs the one awaited, on the caller's thread: every step is then the test's own.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TDecodeWorkers {
public:
    class TTicket;
    using TTicketPtr = std::shared_ptr<TTicket>;

    // threads 0: no threads, see above.
    explicit TDecodeWorkers(int threads);
    // Withdraws the jobs that have not started and waits for those that run.
    ~TDecodeWorkers();
    TDecodeWorkers(const TDecodeWorkers&) = delete;
    TDecodeWorkers& operator=(const TDecodeWorkers&) = delete;

    // The threads a machine gets: one less than its processors (the user-interface thread
    // has one), at least one.
    static int DefaultThreads();
    int Threads() const { return int(m_threads.size()); }

    // job runs on a worker; then finished runs there too (it may only post a notification).
    TTicketPtr Submit(std::function<void()> job, int priority,
                      std::function<void()> finished = nullptr);
    // A job that does not start before Release (or Wait, or WaitIdle).
    TTicketPtr SubmitHeld(std::function<void()> job, int priority);
    // Lets a held job start; nothing for any other.
    void Release(const TTicketPtr& ticket);
    // Whether the job is held: until its release, what it reads may still be written.
    bool Held(const TTicketPtr& ticket) const;
    // True when the job will never run: it had not started.
    bool Withdraw(const TTicketPtr& ticket);
    // Whether the job ran (and its finished call returned).
    bool Done(const TTicketPtr& ticket) const;
    // Whether the job ran or never will.
    bool Settled(const TTicketPtr& ticket) const;
    // Until the job ran; at once when it was withdrawn. Without threads it runs here. Releases
    // a held job.
    void Wait(const TTicketPtr& ticket);
    // Without threads: runs every queued job that is not held, by priority. Returns how many ran.
    int RunQueued();
    // Jobs queued or running.
    int Pending() const;
    // Until no job is queued or running (without threads: runs the queued ones). Releases the
    // held ones.
    void WaitIdle();

private:
    void WorkerLoop();
    // The next job by priority, taken from the queue; null when there is none.
    TTicketPtr TakeNextLocked();
    bool RunnableLocked() const;
    TTicketPtr Queue(std::function<void()> job, int priority, std::function<void()> finished,
                     bool held);
    // Returns whether it was held.
    bool ReleaseLocked(const TTicketPtr& ticket);
    void Run(const TTicketPtr& ticket);

    mutable std::mutex m_mutex;
    std::condition_variable m_work; // a job was queued, or the workers must stop
    std::condition_variable m_done; // a job finished
    std::vector<TTicketPtr> m_queue;
    std::vector<std::thread> m_threads;
    uint64_t m_sequence = 0;
    int m_running = 0;
    bool m_stopping = false;
};
