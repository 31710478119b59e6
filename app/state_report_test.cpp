#include "app/state_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The window tests read the report line by line: every text stays on its own
// line, whatever bytes it holds, and the fields come in their documented
// order.
TEST(StateReport, KeepsEachTextOnItsLineInTheDocumentedOrder) {
  FrameReport r;
  r.frame = 7, r.help = true, r.points = 250, r.dome = true, r.mouseX = 675, r.mouseY = 670;
  r.renderer = "arrays";
  r.flash = "MOUSE\tleft\nq or ESC \\ quit";
  r.promptText = "a\rb";
  EXPECT_EQ(formatFrameReport(r),
            "frame 7\n"
            "help 1\n"
            "status \n"
            "prompt \n"
            "prompt_text a\\x0Db\n"
            "busy \n"
            "flash MOUSE\\x09left\\nq or ESC \\\\ quit\n"
            "points 250\n"
            "regions 0\n"
            "terrain 0\n"
            "dome 1\n"
            "contours 0\n"
            "mouse 675 670\n"
            "renderer arrays\n");
}

}  // namespace
