// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/DecodeWorkers.h"

#include <algorithm>

class TDecodeWorkers::TTicket {
public:
    enum class TState { Held, Queued, Running, Done, Withdrawn };
    std::function<void()> Job;
    std::function<void()> Finished;
    int Priority = 0;
    uint64_t Sequence = 0;
    TState State = TState::Queued; // guarded by the workers' mutex
};

TDecodeWorkers::TDecodeWorkers(int threads) {
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { WorkerLoop(); });
}

TDecodeWorkers::~TDecodeWorkers() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (const TTicketPtr& t : m_queue)
            t->State = TTicket::TState::Withdrawn;
        m_queue.clear();
    }
    m_work.notify_all();
    m_done.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

int TDecodeWorkers::DefaultThreads() {
    const int cores = int(std::thread::hardware_concurrency());
    return std::max(1, cores - 1);
}

TDecodeWorkers::TTicketPtr TDecodeWorkers::Submit(std::function<void()> job, int priority,
                                                  std::function<void()> finished) {
    return Queue(std::move(job), priority, std::move(finished), false);
}

TDecodeWorkers::TTicketPtr TDecodeWorkers::SubmitHeld(std::function<void()> job, int priority) {
    return Queue(std::move(job), priority, nullptr, true);
}

TDecodeWorkers::TTicketPtr TDecodeWorkers::Queue(std::function<void()> job, int priority,
                                                 std::function<void()> finished, bool held) {
    auto ticket = std::make_shared<TTicket>();
    ticket->Job = std::move(job);
    ticket->Finished = std::move(finished);
    ticket->Priority = priority;
    {
        std::lock_guard lock(m_mutex);
        ticket->Sequence = m_sequence++;
        if (m_stopping) {
            ticket->State = TTicket::TState::Withdrawn;
            return ticket;
        }
        if (held) ticket->State = TTicket::TState::Held;
        m_queue.push_back(ticket);
    }
    if (!held) m_work.notify_one();
    return ticket;
}

void TDecodeWorkers::Release(const TTicketPtr& ticket) {
    bool released = false;
    {
        std::lock_guard lock(m_mutex);
        released = ReleaseLocked(ticket);
    }
    if (released) m_work.notify_one();
}

bool TDecodeWorkers::Held(const TTicketPtr& ticket) const {
    std::lock_guard lock(m_mutex);
    return ticket->State == TTicket::TState::Held;
}

bool TDecodeWorkers::ReleaseLocked(const TTicketPtr& ticket) {
    if (ticket->State != TTicket::TState::Held) return false;
    ticket->State = TTicket::TState::Queued;
    return true;
}

bool TDecodeWorkers::Withdraw(const TTicketPtr& ticket) {
    std::lock_guard lock(m_mutex);
    if (ticket->State == TTicket::TState::Withdrawn) return true;
    if (ticket->State != TTicket::TState::Queued && ticket->State != TTicket::TState::Held)
        return false;
    ticket->State = TTicket::TState::Withdrawn;
    std::erase(m_queue, ticket);
    return true;
}

bool TDecodeWorkers::Done(const TTicketPtr& ticket) const {
    std::lock_guard lock(m_mutex);
    return ticket->State == TTicket::TState::Done;
}

bool TDecodeWorkers::Settled(const TTicketPtr& ticket) const {
    std::lock_guard lock(m_mutex);
    return ticket->State == TTicket::TState::Done || ticket->State == TTicket::TState::Withdrawn;
}

void TDecodeWorkers::Wait(const TTicketPtr& ticket) {
    std::unique_lock lock(m_mutex);
    if (ReleaseLocked(ticket)) m_work.notify_one();
    if (m_threads.empty() && ticket->State == TTicket::TState::Queued) {
        std::erase(m_queue, ticket);
        ticket->State = TTicket::TState::Running;
        ++m_running;
        lock.unlock();
        Run(ticket);
        return;
    }
    m_done.wait(lock, [&] {
        return ticket->State == TTicket::TState::Done ||
               ticket->State == TTicket::TState::Withdrawn;
    });
}

int TDecodeWorkers::RunQueued() {
    int count = 0;
    for (;;) {
        TTicketPtr ticket;
        {
            std::lock_guard lock(m_mutex);
            if (!m_threads.empty()) return count;
            ticket = TakeNextLocked();
        }
        if (!ticket) return count;
        Run(ticket);
        ++count;
    }
}

int TDecodeWorkers::Pending() const {
    std::lock_guard lock(m_mutex);
    return int(m_queue.size()) + m_running;
}

void TDecodeWorkers::WaitIdle() {
    {
        std::lock_guard lock(m_mutex);
        for (const TTicketPtr& t : m_queue)
            ReleaseLocked(t);
    }
    m_work.notify_all();
    if (m_threads.empty()) {
        RunQueued();
        return;
    }
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [&] { return m_queue.empty() && m_running == 0; });
}

bool TDecodeWorkers::RunnableLocked() const {
    return std::any_of(m_queue.begin(), m_queue.end(),
                       [](const auto& t) { return t->State == TTicket::TState::Queued; });
}

TDecodeWorkers::TTicketPtr TDecodeWorkers::TakeNextLocked() {
    const auto best =
        std::min_element(m_queue.begin(), m_queue.end(), [](const auto& a, const auto& b) {
            const bool aHeld = a->State == TTicket::TState::Held;
            const bool bHeld = b->State == TTicket::TState::Held;
            if (aHeld != bHeld) return bHeld;
            if (a->Priority != b->Priority) return a->Priority > b->Priority;
            return a->Sequence < b->Sequence;
        });
    if (best == m_queue.end() || (*best)->State == TTicket::TState::Held) return nullptr;
    TTicketPtr ticket = *best;
    m_queue.erase(best);
    ticket->State = TTicket::TState::Running;
    ++m_running;
    return ticket;
}

void TDecodeWorkers::Run(const TTicketPtr& ticket) {
    // A job keeps its failures to itself; one that throws anyway must not end the program.
    try {
        ticket->Job();
    } catch (...) {
    }
    if (ticket->Finished) {
        try {
            ticket->Finished();
        } catch (...) {
        }
    }
    {
        std::lock_guard lock(m_mutex);
        ticket->State = TTicket::TState::Done;
        --m_running;
        // The job's captures go with the job, on the thread that ran it.
        ticket->Job = nullptr;
        ticket->Finished = nullptr;
    }
    m_done.notify_all();
}

void TDecodeWorkers::WorkerLoop() {
    for (;;) {
        TTicketPtr ticket;
        {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [&] { return m_stopping || RunnableLocked(); });
            if (m_stopping) return;
            ticket = TakeNextLocked();
        }
        if (ticket) Run(ticket);
    }
}
