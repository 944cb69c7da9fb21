// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace velmora {

/// Progress and cancel of a long operation. The operation calls step()
/// between items and stops early when cancelled() answers true; both are
/// called from the thread that runs the operation.
class Progress {
public:
    virtual ~Progress() = default;

    /// The activity the following steps belong to, for example "Loading".
    virtual void setTitle(std::string_view /*title*/) {}

    /// The current phase of the activity, for example "Process: Format
    /// report", and the object being worked on (a folder, a file, a node's
    /// name); texts already taken from the text table. Operations that have
    /// neither give only steps.
    virtual void setPhase(std::string_view /*phase*/) {}
    virtual void setObject(std::string_view /*object*/) {}

    /// `done` of `total` items are finished (total 0: unknown); `text` is the
    /// current step's text, already taken from the text table.
    virtual void step(std::uint64_t done, std::uint64_t total, std::string_view text) = 0;

    virtual bool cancelled() const = 0;
};

/// Progress that shows nothing and is never cancelled.
class NoProgress final : public Progress {
public:
    void step(std::uint64_t, std::uint64_t, std::string_view) override {}
    bool cancelled() const override { return false; }
};

/// What the window of a long operation shows: its title, the current phase
/// (for example "Process: Format report"), the object being worked on (a
/// folder, a file, a node's name), and how far it is (`position` of
/// `maximum`; maximum 0 when unknown). All texts are UTF-8, already taken
/// from the text table.
struct ProgressSnapshot {
    std::string title;
    std::string phase;
    std::string object;
    std::uint64_t position = 0;
    std::uint64_t maximum = 0;

    /// A window redraws only when what it shows has changed.
    bool operator==(const ProgressSnapshot&) const = default;
};

/// The progress of an operation running on a worker thread, as the one
/// contract between the worker and the window: the worker sets the parts
/// as it goes, the window reads the latest state on a timer (it never waits
/// for the worker, and nothing is queued: only the latest value counts);
/// the window asks to stop and the worker reads cancelled() between items.
///
/// Every member may be called from any thread.
class ProgressState final : public Progress {
public:
    void setTitle(std::string_view title) override
    {
        const std::lock_guard lock(mutex_);
        latest_.title = title;
    }
    /// Sets the position and maximum and, when `text` is not empty, the phase.
    void step(std::uint64_t done, std::uint64_t total, std::string_view text) override
    {
        const std::lock_guard lock(mutex_);
        latest_.position = done;
        latest_.maximum = total;
        if (!text.empty())
            latest_.phase = text;
    }
    bool cancelled() const override { return stop_.load(std::memory_order_relaxed); }

    void setPhase(std::string_view phase) override
    {
        const std::lock_guard lock(mutex_);
        latest_.phase = phase;
    }
    void setObject(std::string_view object) override
    {
        const std::lock_guard lock(mutex_);
        latest_.object = object;
    }

    void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
    /// The stop flag itself, for operations that take a flag rather than a
    /// Progress.
    const std::atomic<bool>& stopFlag() const { return stop_; }

    ProgressSnapshot Latest() const
    {
        const std::lock_guard lock(mutex_);
        return latest_;
    }

private:
    mutable std::mutex mutex_;
    ProgressSnapshot latest_;
    std::atomic<bool> stop_{false};
};

} // namespace velmora
