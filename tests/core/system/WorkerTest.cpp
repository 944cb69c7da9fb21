// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/Worker.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace velmora {
namespace {

TEST(Worker, AJobThatRunsUntilStoppedEndsAfterRequestStopAndTellsItsEndOnce)
{
    std::atomic<bool> running{false};
    std::atomic<int> ends{0};
    Worker worker;
    EXPECT_FALSE(worker.started());
    ASSERT_TRUE(worker.Start(
        [&running](ProgressState& progress) {
            progress.setTitle("Working");
            std::uint64_t done = 0;
            running = true;
            while (!progress.cancelled()) {
                progress.step(++done, 0, {});
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            progress.setPhase("Stopped");
        },
        [&ends] { ++ends; }));
    EXPECT_TRUE(worker.started());
    while (!running)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(worker.finished());
    EXPECT_EQ(ends, 0);

    worker.RequestStop();
    // The window's way: poll finished() on a timer, never wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!worker.finished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(worker.finished());
    worker.Wait();
    EXPECT_EQ(ends, 1);
    const ProgressSnapshot latest = worker.progress().Latest();
    EXPECT_EQ(latest.title, "Working");
    EXPECT_EQ(latest.phase, "Stopped");
    EXPECT_GT(latest.position, 0u);
    worker.Wait();
    EXPECT_EQ(ends, 1);
    // One job per worker: a second start is refused, not a second thread.
    EXPECT_FALSE(worker.Start([](ProgressState&) {}));
    EXPECT_EQ(ends, 1);
}

} // namespace
} // namespace velmora
