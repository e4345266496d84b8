// Every task runs exactly once, whatever the number of threads.
#include "Parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace blockdiff {
namespace {

TEST(RunTasks, RunsEachTaskOnce) {
    for (const size_t count : {0, 1, 2, 5, 300}) {
        for (const unsigned threads : {0u, 1u, 2u, 4u}) {
            std::vector<std::atomic<int>> runs(count);
            RunTasks(count, threads, [&](size_t i) { ++runs[i]; });
            for (size_t i = 0; i < count; ++i) {
                ASSERT_EQ(runs[i].load(), 1) << count << " tasks, " << threads << " threads";
            }
        }
    }
}

TEST(UsefulThreads, AtLeastOneAndAtMostTheLimit) {
    EXPECT_EQ(UsefulThreads(0), 1u);
    EXPECT_EQ(UsefulThreads(1), 1u);
    EXPECT_GE(UsefulThreads(2), 1u);
    EXPECT_LE(UsefulThreads(2), 2u);
}

} // namespace
} // namespace blockdiff
