#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "app/SpreadWork.h"

namespace vantlo {
namespace {

TEST(SpreadWork, EveryIndexRunsOnceAndAllAreDoneOnReturn) {
    for (std::size_t threads : {1, 2, 5}) {
        std::mutex lock;
        std::multiset<std::size_t> ran;
        std::atomic<int> finished{0};
        const auto caller = std::this_thread::get_id();
        bool indexZeroOnCaller = false;
        SpreadWork::run(threads, [&](std::size_t index) {
            std::lock_guard<std::mutex> guard(lock);
            ran.insert(index);
            if (index == 0)
                indexZeroOnCaller = std::this_thread::get_id() == caller;
            ++finished;
        });
        std::multiset<std::size_t> expected;
        for (std::size_t i = 0; i < threads; ++i)
            expected.insert(i);
        EXPECT_EQ(ran, expected) << threads << " threads";
        EXPECT_EQ(finished.load(), static_cast<int>(threads));
        EXPECT_TRUE(indexZeroOnCaller);
    }
}

}  // namespace
}  // namespace vantlo
