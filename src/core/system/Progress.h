#pragma once

#include <cstdint>
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

} // namespace velmora
