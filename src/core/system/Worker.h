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
    /// to the interface thread). One job per worker: false, and nothing runs,
    /// when a job was started before.
    [[nodiscard]] bool Start(Job job, EndNotice onEnd = {})
    {
        if (started())
            return false;
        thread_ = std::thread([this, job = std::move(job), onEnd = std::move(onEnd)] {
            job(progress_);
            finished_.store(true, std::memory_order_release);
            if (onEnd)
                onEnd();
        });
        return true;
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

/// A long operation that gives an outcome: the one shape of the scan, the
/// report and the collection's load and save. The operation runs on its own
/// Worker; the outcome may be read once Finished() is true or Wait() has
/// returned.
template <typename Result> class Task {
public:
    using Operation = std::function<Result(ProgressState& progress)>;

    explicit Task(Operation operation) : operation_(std::move(operation)) {}
    virtual ~Task() = default; ///< the worker asks the operation to stop and waits for it
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    /// Starts the operation; `onEnd` runs on the worker thread when it has
    /// ended. False when it was started before.
    [[nodiscard]] bool Start(Worker::EndNotice onEnd = {})
    {
        return worker_.Start([this](ProgressState& progress) { outcome_ = operation_(progress); },
                             std::move(onEnd));
    }
    void RequestStop() { worker_.RequestStop(); }
    void Wait() { worker_.Wait(); }
    bool Finished() const { return worker_.finished(); }
    /// May be read from any thread while the operation runs.
    const ProgressState& progress() const { return worker_.progress(); }
    /// Valid once Finished() is true.
    const Result& Outcome() const { return outcome_; }

private:
    Operation operation_;
    Result outcome_{};
    Worker worker_; // last: it stops and joins before the members above go
};

} // namespace velmora
