// Calls into a library that may never come back: answered ones pass their
// answer on, one that is late keeps the library from being called until it
// comes back, and calls from two threads do not wait for each other.
#include "platform/PatientCall.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace clavora {
namespace {

using namespace std::chrono_literals;

// Waits, without sleeping, for a late call to have come back.
void waitUntilAnswered(const PatientCall& caller)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (caller.stuck() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

TEST(PatientCallTest, ALateCallKeepsTheLibraryUncalledUntilItComesBack)
{
    PatientCall hasty(200ms);
    // A call answered in time (as it is unless the machine is very busy)
    // leaves no mark on how the next one is counted.
    hasty.run([] { return false; });
    waitUntilAnswered(hasty);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    EXPECT_EQ(hasty.run([released] {
        released.wait();
        return true;
    }),
        std::nullopt);
    EXPECT_TRUE(hasty.stuck());
    std::atomic<int> calls = 0;
    EXPECT_EQ(hasty.run([&calls] { return ++calls > 0; }), std::nullopt);

    release.set_value();
    waitUntilAnswered(hasty);
    EXPECT_FALSE(hasty.stuck());
    EXPECT_EQ(calls, 0);
    hasty.run([&calls] { return ++calls > 0; }); // made, if maybe late on a busy machine
    waitUntilAnswered(hasty);
    EXPECT_EQ(calls, 1);
}

// The first call only comes back once the second has been made, from
// another thread, while it is out.
TEST(PatientCallTest, CallsFromTwoThreadsAreOutTogether)
{
    PatientCall caller(10s);
    std::promise<void> firstOut;
    std::promise<void> secondMade;
    std::optional<bool> first;
    std::thread firstCaller([&] {
        first = caller.run([&] {
            firstOut.set_value();
            return secondMade.get_future().wait_for(10s) == std::future_status::ready;
        });
    });
    firstOut.get_future().wait();
    EXPECT_EQ(caller.run([&] {
        secondMade.set_value();
        return false;
    }),
        std::optional(false));
    firstCaller.join();
    EXPECT_EQ(first, std::optional(true));
}

} // namespace
} // namespace clavora
