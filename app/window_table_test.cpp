#include "app/window_table.h"

#include <gtest/gtest.h>

namespace {

window* fakeWindow(int n) { return reinterpret_cast<window*>(static_cast<long>(0x1000 + 16 * n)); }

TEST(WindowTableDeathTest, IdentifiersOutsideTheTableEndTheProgram) {
  EXPECT_EXIT(registerWindow(20, fakeWindow(1)), testing::ExitedWithCode(255),
              "^New window has windowId 20, which is outside the allowed range 0\\.\\.19\n$");
  EXPECT_EXIT(registerWindow(-1, fakeWindow(1)), testing::ExitedWithCode(255),
              "^New window has windowId -1, which is outside the allowed range 0\\.\\.19\n$");
}

}  // namespace
