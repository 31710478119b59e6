#include "core/sequence.h"

#include <gtest/gtest.h>

namespace {

TEST(SequenceTest, KeepsEveryElementThroughGrowthAndClear) {
  Sequence<int> s;
  s.append(7);
  s.clear();
  EXPECT_EQ(s.numElements, 0);
  for (int i = 0; i < 1000; ++i) s.append(i * 3);
  ASSERT_EQ(s.numElements, 1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(s.element(i), i * 3);
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

TEST(SequenceDeathTest, IndicesOutsideTheElementsEndTheProgram) {
  const struct { int size, index; const char* shown; } cases[] = {
      {0, 0, "0\\(numElements = 0\\)"},
      {3, -1, "-1\\(numElements = 3\\)"},
      {3, 5, "5\\(numElements = 3\\)"},
      {3, 3, "3\\(numElements = 3\\)"},  // within capacity, past the elements
  };
  for (const auto& c : cases) {
    Sequence<int> s;
    for (int i = 0; i < c.size; ++i) s.append(i);
    EXPECT_EXIT(s.element(c.index), ::testing::ExitedWithCode(255),
                std::string("^element: Tried to access an element beyond the range of the "
                            "sequence: ") + c.shown + "\n$");
  }
}

}  // namespace
