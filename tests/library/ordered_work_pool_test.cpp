// TOrderedWorkPool: results come back in submission order whatever the number
// of threads, a stop or an error ends the flow after exactly the earlier
// results, and no thread index runs two pieces of work at once.
#include "library/OrderedWorkPool.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Work whose cost varies from item to item, so that threads finish out of order.
int Churn(int item) {
    volatile unsigned x = unsigned(item);
    for (int i = 0; i < (item % 5) * 20000; ++i)
        x = x * 1103515245u + 12345u;
    return item * 10;
}

constexpr int kThreadCounts[] = {0, 1, 2, 4};

TEST(OrderedWorkPool, ResultsComeInSubmissionOrder) {
    for (int threads : kThreadCounts) {
        for (int window : {1, 3, 64}) {
            SCOPED_TRACE(testing::Message() << threads << " threads, window " << window);
            std::vector<int> taken;
            TOrderedWorkPool<int, int> pool(
                threads, window, [](int& item, int) { return Churn(item); },
                [&](int& result) {
                    taken.push_back(result);
                    return true;
                });
            for (int i = 0; i < 200; ++i)
                ASSERT_TRUE(pool.Submit(i));
            ASSERT_TRUE(pool.Finish());
            std::vector<int> expected;
            for (int i = 0; i < 200; ++i)
                expected.push_back(i * 10);
            EXPECT_EQ(taken, expected);
        }
    }
}

TEST(OrderedWorkPool, EachThreadIndexRunsOneWorkAtATime) {
    constexpr int kThreads = 4;
    std::array<std::atomic_int, kThreads> busy{};
    std::atomic_bool overlap = false, outOfRange = false;
    {
        TOrderedWorkPool<int, int> pool(
            kThreads, 16,
            [&](int& item, int thread) {
                if (thread < 0 || thread >= kThreads) {
                    outOfRange = true;
                    return 0;
                }
                if (busy[size_t(thread)].fetch_add(1) != 0)
                    overlap = true;
                const int result = Churn(item);
                busy[size_t(thread)].fetch_sub(1);
                return result;
            },
            [](int&) { return true; });
        for (int i = 0; i < 300; ++i)
            pool.Submit(i);
        pool.Finish();
    }
    EXPECT_FALSE(overlap);
    EXPECT_FALSE(outOfRange);
}

// A stop asked by Take (a cancel) leaves exactly the results before it taken.
TEST(OrderedWorkPool, StopMidwayTakesNothingAfterIt) {
    for (int threads : kThreadCounts) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        std::vector<int> taken;
        bool submitRefused = false;
        {
            TOrderedWorkPool<int, int> pool(
                threads, 8, [](int& item, int) { return Churn(item); },
                [&](int& result) {
                    taken.push_back(result);
                    return result < 250;  // stops after taking item 25
                });
            for (int i = 0; i < 100 && !submitRefused; ++i)
                submitRefused = !pool.Submit(i);
            EXPECT_FALSE(pool.Finish());
            EXPECT_FALSE(pool.Submit(1000));
        }
        EXPECT_TRUE(submitRefused);
        std::vector<int> expected;
        for (int i = 0; i <= 25; ++i)
            expected.push_back(i * 10);
        EXPECT_EQ(taken, expected);
    }
}

// The first failing item in order raises, after every earlier result was
// taken, as doing the items one by one would; later results are not taken.
TEST(OrderedWorkPool, AnErrorInOneItemRaisesInItsTurn) {
    for (int threads : kThreadCounts) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        std::vector<int> taken;
        std::string error;
        try {
            TOrderedWorkPool<int, int> pool(
                threads, 8,
                [](int& item, int) {
                    if (item == 40 || item == 41 || item == 70)
                        throw std::runtime_error("bad item " + std::to_string(item));
                    return Churn(item);
                },
                [&](int& result) {
                    taken.push_back(result);
                    return true;
                });
            for (int i = 0; i < 100; ++i)
                pool.Submit(i);
            pool.Finish();
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        EXPECT_EQ(error, "bad item 40");
        std::vector<int> expected;
        for (int i = 0; i < 40; ++i)
            expected.push_back(i * 10);
        EXPECT_EQ(taken, expected);
    }
}

}  // namespace
