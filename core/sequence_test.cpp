#include "core/sequence.h"

#include <gtest/gtest.h>

namespace {

TEST(SequenceTest, NewSequenceHasRoomForTwoAndNothingInIt) {
  Sequence<int> s;
  EXPECT_EQ(s.numElements, 0);
  EXPECT_EQ(s.capacity, 2);
}

TEST(SequenceTest, GrowsByDoublingFromOneAfterClear) {
  Sequence<int> s;
  s.append(7);
  s.clear();
  EXPECT_EQ(s.capacity, 1);
  EXPECT_EQ(s.numElements, 0);
  const int expected[] = {1, 2, 4, 4, 8};
  for (int i = 0; i < 5; ++i) {
    s.append(i);
    EXPECT_EQ(s.capacity, expected[i]) << "after append " << i + 1;
  }
}

TEST(SequenceTest, ThousandAppendsKeepOrderInCapacity1024) {
  Sequence<int> s;
  s.clear();
  for (int i = 0; i < 1000; ++i) s.append(i * 3);
  EXPECT_EQ(s.capacity, 1024);
  ASSERT_EQ(s.numElements, 1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(s.element(i), i * 3);
  EXPECT_EQ(s.element(s.numElements - 1), 2997);
}

TEST(SequenceTest, CopiesAndMovesOwnTheirStorage) {
  Sequence<int> a;
  for (int i = 0; i < 5; ++i) a.append(i);
  Sequence<int> b(a);
  b.element(0) = 99;
  EXPECT_EQ(a.element(0), 0);
  Sequence<int> c(std::move(b));
  EXPECT_EQ(c.numElements, 5);
  EXPECT_EQ(c.element(0), 99);
  EXPECT_EQ(b.numElements, 0);  // moved-from: empty but usable
  b.append(1);
  EXPECT_EQ(b.element(0), 1);
  a = c;
  EXPECT_EQ(a.element(0), 99);
}

using SequenceDeathTest = ::testing::Test;

TEST_F(SequenceDeathTest, IndexOnEmptySequenceEndsTheProgram) {
  Sequence<int> s;
  EXPECT_EXIT(s.element(0), ::testing::ExitedWithCode(255),
              "^element: Tried to access an element beyond the range of the sequence: "
              "0\\(numElements = 0\\)\n$");
}

TEST_F(SequenceDeathTest, NegativeAndPastTheEndIndicesArePrinted) {
  Sequence<int> s;
  for (int i = 0; i < 3; ++i) s.append(i);
  EXPECT_EXIT(s.element(-1), ::testing::ExitedWithCode(255),
              "^element: Tried to access an element beyond the range of the sequence: "
              "-1\\(numElements = 3\\)\n$");
  EXPECT_EXIT(s.element(5), ::testing::ExitedWithCode(255),
              "^element: Tried to access an element beyond the range of the sequence: "
              "5\\(numElements = 3\\)\n$");
  // Slots between numElements and capacity are out of range too.
  EXPECT_EXIT(s.element(3), ::testing::ExitedWithCode(255), "3\\(numElements = 3\\)");
}

}  // namespace
