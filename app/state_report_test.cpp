#include "app/state_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

// The window tests read the report line by line: every text stays on its own
// line, whatever bytes it holds, and the fields come in their documented
// order.
TEST(StateReport, KeepsEachTextOnItsLineInTheDocumentedOrder) {
  FrameReport r;
  r.frame = 7, r.help = true, r.points = 250, r.dome = true, r.mouseX = 675, r.mouseY = 670;
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
            "mouse 675 670\n");
}

TEST(StateReport, ReplacesTheFileWholeOrLeavesNothing) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("state_report_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "state").string();
  FrameReport r;
  r.frame = 1;
  ASSERT_TRUE(writeFrameReport(file.c_str(), r));
  r.frame = 2;
  r.status = "CLEAR distribution, 250 points, sun (45,180)";
  ASSERT_TRUE(writeFrameReport(file.c_str(), r));
  std::stringstream text;
  text << std::ifstream(file).rdbuf();
  EXPECT_EQ(text.str(), formatFrameReport(r));
  // Only the report itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

  const std::string missing = (dir / "no-such-folder" / "state").string();
  EXPECT_FALSE(writeFrameReport(missing.c_str(), r));
  EXPECT_FALSE(std::filesystem::exists(missing));
  std::filesystem::remove_all(dir);
}

}  // namespace
