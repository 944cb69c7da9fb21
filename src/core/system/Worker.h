// SPDX-License-Identifier: GPL-3.0-or-later
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

/// A long operation on its own Worker, as a window or a command drives it:
/// start it, read its progress, ask it to stop, wait for its end. The scan,
/// the report, the collection's load and save and the searches are all
/// tasks (see Task).
class WorkerTask {
public:
    virtual ~WorkerTask() = default;
    WorkerTask(const WorkerTask&) = delete;
    WorkerTask& operator=(const WorkerTask&) = delete;

    /// Starts the operation; `onEnd` runs on the worker thread when it has
    /// ended. False when it was started before.
    [[nodiscard]] bool Start(Worker::EndNotice onEnd = {})
    {
        return worker_.Start([this](ProgressState& progress) { Run(progress); }, std::move(onEnd));
    }
    void RequestStop() { worker_.RequestStop(); }
    void Wait() { worker_.Wait(); }
    bool Finished() const { return worker_.finished(); }
    /// May be read from any thread while the operation runs.
    const ProgressState& progress() const { return worker_.progress(); }

protected:
    WorkerTask() = default;
    /// The operation, on the worker thread.
    virtual void Run(ProgressState& progress) = 0;
    /// Asks the operation to stop and waits for it: the first step of the
    /// destructor of a class that implements Run(), before its members go.
    void StopAndWait()
    {
        worker_.RequestStop();
        worker_.Wait();
    }

private:
    Worker worker_;
};

/// A task that gives an outcome, which may be read once Finished() is true
/// or Wait() has returned.
template <typename Result> class Task : public WorkerTask {
public:
    using Operation = std::function<Result(ProgressState& progress)>;

    explicit Task(Operation operation) : operation_(std::move(operation)) {}
    ~Task() override { StopAndWait(); }

    const Result& Outcome() const { return outcome_; }

protected:
    void Run(ProgressState& progress) override { outcome_ = operation_(progress); }

private:
    Operation operation_;
    Result outcome_{};
};

} // namespace velmora
