// TOrderedWorkPool: runs one piece of work per submitted item on worker
// threads and hands the results back on the submitting thread in the order
// the items were submitted, so a caller can spread costly work (decoding and
// matching texts) over the cores and still see one ordered sequence.
//
// Ownership and threads: the pool owns its threads from construction to
// destruction; Submit and Finish are called from one thread (the owner's),
// which is also the only one that sees results (Take) and errors. Work runs
// on the pool's threads with the index of the thread (0 .. threads-1), so
// each thread can use state of its own. With 0 threads the work runs inside
// Submit, on the calling thread, with index 0.
//
// Flow: at most `window` items are submitted and not yet taken; Submit waits
// for the oldest to finish when the window is full. Take returns false to
// stop: later results are dropped, queued work is skipped, and Submit and
// Finish return false from then on. Destroying the pool without Finish (after
// a stop, a cancel or an error) skips queued work and joins the threads.
//
// Errors: an exception thrown by the work of an item is raised on the
// submitting thread when that item's turn comes, after every earlier result
// has been taken, so the caller sees the same first error as doing the items
// one after the other would give.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

template <class Item, class Result>
class TOrderedWorkPool {
public:
    using TWork = std::function<Result(Item& item, int thread)>;
    using TTake = std::function<bool(Result& result)>;

    TOrderedWorkPool(int threads, int window, TWork work, TTake take)
        : m_window(window < 1 ? 1 : window), m_work(std::move(work)), m_take(std::move(take)) {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this, i] { Serve(i); });
    }

    ~TOrderedWorkPool() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closing = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    TOrderedWorkPool(const TOrderedWorkPool&) = delete;
    TOrderedWorkPool& operator=(const TOrderedWorkPool&) = delete;

    // Queues the item; false once Take has asked to stop.
    bool Submit(Item item) {
        if (m_stopped)
            return false;
        if (m_threads.empty()) {
            TSlot slot;
            Run(slot, item, 0);
            return Deliver(slot);
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!TakeReady(lock, m_window - 1))
            return false;
        m_slots.emplace_back();
        m_queue.push_back({std::move(item), &m_slots.back()});
        lock.unlock();
        m_wake.notify_one();
        return true;
    }

    // Waits for every submitted item and takes its result; false when Take
    // asked to stop.
    bool Finish() {
        if (m_stopped || m_threads.empty())
            return !m_stopped;
        std::unique_lock<std::mutex> lock(m_mutex);
        return TakeReady(lock, 0);
    }

private:
    struct TSlot {
        std::optional<Result> result;
        std::exception_ptr error;
        bool done = false;
    };
    struct TJob {
        Item item;
        TSlot* slot;
    };

    void Run(TSlot& slot, Item& item, int thread) {
        try {
            slot.result.emplace(m_work(item, thread));
        } catch (...) {
            slot.error = std::current_exception();
        }
        slot.done = true;
    }

    // Raises the slot's error or hands its result to Take.
    bool Deliver(TSlot& slot) {
        if (slot.error) {
            m_stopped = true;
            std::rethrow_exception(slot.error);
        }
        if (!m_take(*slot.result))
            m_stopped = true;
        return !m_stopped;
    }

    // Takes the results in order until at most `keep` slots are left; the
    // lock is released while Take runs.
    bool TakeReady(std::unique_lock<std::mutex>& lock, size_t keep) {
        while (m_slots.size() > keep) {
            m_done.wait(lock, [&] { return m_slots.front().done; });
            TSlot slot = std::move(m_slots.front());
            m_slots.pop_front();
            lock.unlock();
            const bool go_on = DeliverUnlocked(slot);
            lock.lock();
            if (!go_on)
                return false;
        }
        return true;
    }

    bool DeliverUnlocked(TSlot& slot) {
        try {
            if (Deliver(slot))
                return true;
        } catch (...) {
            m_stopped = true;
            Abandon();
            throw;
        }
        Abandon();
        return false;
    }

    // Work not yet started is skipped.
    void Abandon() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.clear();
    }

    void Serve(int thread) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_closing || !m_queue.empty(); });
            if (m_closing)
                return;
            TJob job = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            TSlot finished;
            Run(finished, job.item, thread);
            lock.lock();
            *job.slot = std::move(finished);
            m_done.notify_all();
        }
    }

    const size_t m_window;
    TWork m_work;
    TTake m_take;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // work queued or closing
    std::condition_variable m_done;  // a slot finished
    std::deque<TSlot> m_slots;       // submitted and not yet taken, oldest first
    std::deque<TJob> m_queue;        // submitted and not yet started
    bool m_closing = false;
    bool m_stopped = false;  // owner's thread only
};
