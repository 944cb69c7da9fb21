#pragma once

#include "system/Progress.h"

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

namespace velmora {

/// Runs one long operation on a worker thread: scans, reports, searches,
/// the collection of a playlist. The operation reports through progress()
/// and reads its stop flag between items; the window polls progress() and
/// finished() on a timer, or is told by the end notice.
///
/// Start, RequestStop, Wait and the destructor belong to the owning thread;
/// finished() and progress() may be read from any thread. Whatever the job
/// touches must not be touched by anyone else until finished() is true (or
/// Wait() returned).
class Worker {
public:
    using Job = std::function<void(ProgressState& progress)>;
    using EndNotice = std::function<void()>;

    Worker() = default;
    /// Asks a running job to stop and waits for it.
    ~Worker()
    {
        RequestStop();
        Wait();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    /// Runs `job` on a new thread; when it has returned, finished() becomes
    /// true and then `onEnd`, if any, runs on the worker thread (post from it
    /// to the interface thread). One job per worker.
    void Start(Job job, EndNotice onEnd = {})
    {
        thread_ = std::thread([this, job = std::move(job), onEnd = std::move(onEnd)] {
            job(progress_);
            finished_.store(true, std::memory_order_release);
            if (onEnd)
                onEnd();
        });
    }

    void RequestStop() { progress_.RequestStop(); }

    /// Waits until the job has ended; at once when none was started.
    void Wait()
    {
        if (thread_.joinable())
            thread_.join();
    }

    bool started() const { return thread_.joinable() || finished(); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    ProgressState& progress() { return progress_; }
    const ProgressState& progress() const { return progress_; }

private:
    ProgressState progress_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace velmora
