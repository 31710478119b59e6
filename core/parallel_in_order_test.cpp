#include "core/parallel_in_order.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace {

// Work of uneven length, so that later items often finish first.
void unevenWork(size_t i) { std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 13 * 50)); }

TEST(ComputeInOrder, HandsEveryResultOnInOrderWithBoundedLookAhead) {
  for (unsigned threads : {1u, 3u, 8u}) {
    const size_t count = 300;
    std::atomic<size_t> started{0};
    size_t consumed = 0, mostAhead = 0;
    std::vector<size_t> order;
    const bool done = computeInOrder<size_t>(
        count, threads,
        [&](size_t i) {
          ++started;
          unevenWork(i);
          return i * i;
        },
        [&](size_t i, size_t& square) {
          EXPECT_EQ(square, i * i);
          order.push_back(i);
          mostAhead = std::max(mostAhead, started.load() - consumed);
          ++consumed;
          return true;
        });
    EXPECT_TRUE(done);
    ASSERT_EQ(order.size(), count);
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(order[i], i) << threads << " threads";
    EXPECT_LE(mostAhead, 2 * std::min<size_t>(threads, count)) << threads << " threads";
  }
  // Nothing to do is done at once.
  EXPECT_TRUE(computeInOrder<int>(0, 4, [](size_t) -> int { throw std::logic_error("called"); },
                                  [](size_t, int&) -> bool { throw std::logic_error("called"); }));
}

TEST(ComputeInOrder, StopsAtAFailedConsumeOrAThrowingComputeAndNothingFollows) {
  std::atomic<size_t> started{0};
  std::vector<size_t> seen;
  EXPECT_FALSE(computeInOrder<size_t>(
      1000, 4,
      [&](size_t i) {
        ++started;
        unevenWork(i);
        return i;
      },
      [&](size_t i, size_t&) {
        seen.push_back(i);
        return i != 10;  // e.g. file 11 could not be written
      }));
  EXPECT_EQ(seen.size(), 11u);
  EXPECT_EQ(seen.back(), 10u);
  EXPECT_LE(started.load(), 11u + 8u);

  // Stopping on the very last result is still a stop.
  EXPECT_FALSE(computeInOrder<int>(3, 2, [](size_t) { return 0; }, [](size_t i, int&) { return i != 2; }));

  seen.clear();
  try {
    computeInOrder<size_t>(
        500, 3,
        [&](size_t i) {
          unevenWork(i);
          if (i == 37) throw std::runtime_error("item 37");
          return i;
        },
        [&](size_t i, size_t&) {
          seen.push_back(i);
          return true;
        });
    ADD_FAILURE() << "the exception was lost";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "item 37");
  }
  EXPECT_LE(seen.size(), 37u);
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i);
}

}  // namespace
