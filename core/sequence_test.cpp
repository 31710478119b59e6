#include "core/sequence.h"

#include <gtest/gtest.h>

namespace {

// Growth after a clear (from capacity 1) keeps every element, even one
// appended from the sequence itself; copies own their storage; a moved-from
// sequence is empty but usable.
TEST(SequenceTest, GrowthCopiesAndMovesKeepTheirOwnElements) {
  Sequence<int> a;
  a.append(7);
  a.clear();
  for (int i = 0; i < 1000; ++i) a.append(i * 3);
  Sequence<int> b(a);
  b.element(0) = 99;
  Sequence<int> c(std::move(b));
  EXPECT_EQ(b.numElements, 0);
  b.append(1);
  EXPECT_EQ(b.element(0), 1);
  ASSERT_EQ(c.numElements, 1000);
  EXPECT_EQ(c.element(0), 99);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(a.element(i), i * 3);
  a = c;
  EXPECT_EQ(a.element(0), 99);

  Sequence<int> full;
  full.append(5);
  full.append(6);
  full.append(full.element(0));  // its own element, as the storage grows
  EXPECT_EQ(full.element(2), 5);
}

TEST(SequenceDeathTest, IndicesOutsideTheElementsEndTheProgram) {
  const struct { int size, index; const char* shown; } cases[] = {
      {0, 0, "0\\(numElements = 0\\)"},
      {3, -1, "-1\\(numElements = 3\\)"},
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
