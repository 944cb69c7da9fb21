// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace velmora::reports {

/// A second thread that does jobs for the thread that owns it: jobs go in
/// with give() and come back done, in the order they went in, with take().
/// The work function gets each job and a flag that is set when the owner
/// quits; it should then return soon, and the job is dropped.
///
/// This is not a Worker: a Worker runs one whole operation that a window
/// watches (progress, stop, end notice), while this is a step of a pipeline
/// inside such an operation, a stream of small jobs handed back in order to
/// the thread that gave them, which reports and stops for both.
///
/// Only the owning thread may call the members.
template <class Job> class HelperThread {
public:
    using Work = std::function<void(Job&, const std::atomic<bool>& quit)>;

    explicit HelperThread(Work work) : work_(std::move(work)), thread_([this] { Loop(); }) {}
    ~HelperThread() { Quit(); }

    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    /// Jobs handed over and not yet taken back.
    std::size_t given() const { return given_; }

    /// True when the helper has nothing waiting: a job given now starts as
    /// soon as the current one, if any, is done.
    bool ready()
    {
        const std::lock_guard lock(mutex_);
        return waiting_.empty();
    }

    void give(Job job)
    {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(std::move(job));
        }
        ++given_;
        changed_.notify_all();
    }

    /// The oldest job given and not yet taken, once it is done. Needs a
    /// given job.
    Job take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !done_.empty(); });
        Job job = std::move(done_.front());
        done_.pop_front();
        --given_;
        return job;
    }

    /// Asks the work in progress to end, drops the jobs and waits for the
    /// thread.
    void Quit()
    {
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    void Loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return quit_ || !waiting_.empty(); });
            if (quit_)
                return;
            Job job = std::move(waiting_.front());
            waiting_.pop_front();
            lock.unlock();
            work_(job, quit_);
            lock.lock();
            done_.push_back(std::move(job));
            changed_.notify_all();
        }
    }

    const Work work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    std::deque<Job> done_;
    std::atomic<bool> quit_{false};
    std::size_t given_ = 0; // the owner's count
    std::thread thread_;    // last, so that it starts with everything above
};

} // namespace velmora::reports
