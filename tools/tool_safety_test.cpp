// The tools as users (and root) hurt them: nothing may be lost or hang.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/version.h"
#include "tools/tool_test_files.h"

namespace {

mode_t modeOf(const std::string& path) {
  struct stat status;
  return ::lstat(path.c_str(), &status) == 0 ? status.st_mode : 0;
}

class ToolSafetyTest : public ToolTest {
 protected:
  // A terrain of 6 x 6 cells: its maps have six rows.
  std::string terrain() {
    const std::string name = path("t.hrz");
    if (!exists(name)) {
      EXPECT_EQ(shell(kTerrainTool + " --flat 6 --directions 4 -o " + name).status, 0);
    }
    return name;
  }
};

// Runs `command` in a private mount namespace whose tmpfs DEV holds the
// devices full and null (also as full.tif and null.tif) and stdout, a link
// to standard output; `nodeKept` says whether the node `kept` is still one.
// Returns false where that needs rights the sandbox lacks.
bool runWithPrivateDevices(const std::string& folder, std::string command, const std::string& kept, int& status,
                           std::string& err, bool& nodeKept) {
  const std::string dev = folder + "/dev";
  for (size_t at; (at = command.find("DEV")) != std::string::npos;) command.replace(at, 3, dev);
  ::mkdir(dev.c_str(), 0755);
  const std::string script =
      "mount -t tmpfs -o size=64k none \"$0\" && mknod \"$0/full\" c 1 7 && mknod \"$0/null\" c 1 3 && "
      "mknod \"$0/full.tif\" c 1 7 && mknod \"$0/null.tif\" c 1 3 && ln -s /proc/self/fd/1 \"$0/stdout\" "
      "|| exit 90; sh -c \"$1\" >\"$2/out\" 2>\"$2/err\"; echo $? >\"$2/status\"; "
      "if [ -c \"$0/$3\" ] || [ -L \"$0/$3\" ]; then echo kept >\"$2/node\"; fi";
  const std::string line = "unshare -m sh -c '" + script + "' '" + dev + "' '" + command + "' '" + folder + "' '" +
                           kept + "' 2>/dev/null";
  std::remove((folder + "/node").c_str());
  const int raw = std::system(line.c_str());
  if (!WIFEXITED(raw) || WEXITSTATUS(raw) != 0) return false;
  status = std::atoi(readFile(folder + "/status").c_str());
  err = readFile(folder + "/err");
  nodeKept = readFile(folder + "/node") == "kept\n";
  return true;
}

TEST_F(ToolSafetyTest, DevicesAreWrittenInPlaceNeverReplaced) {
  const std::string t = terrain();
  const struct {
    std::string command, node;
    int status;
  } cases[] = {
      {kSkylightTool + " " + t + " -o DEV/full", "full", 1},
      {kSkylightTool + " " + t + " -o DEV/full.tif", "full.tif", 1},
      {kSkylightTool + " " + t + " -o DEV/null.tif --csv DEV/null", "null", 0},
      {kSkylightTool + " " + t + " --csv DEV/stdout", "stdout", 0},
      {kTerrainTool + " --flat 8 -o DEV/full", "full", 1},
      {kSamplesTool + " -o DEV/full", "full", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    int status = -1;
    std::string err;
    bool kept = false;
    if (!runWithPrivateDevices(folder_, c.command, c.node, status, err, kept))
      GTEST_SKIP() << "no private mount namespace with device nodes here (unshare -m and mknod need root)";
    const std::string program = c.command.substr(0, c.command.find(' '));
    const std::string expected = c.status == 0 ? "" : program.substr(program.rfind('/') + 1) + ": cannot write " +
                                                          path("dev/" + c.node) + ": No space left on device\n";
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(err, expected);
    EXPECT_TRUE(kept) << c.node << " was replaced";
    if (c.node == "stdout") {
      EXPECT_EQ(lineCount(readFile(path("out"))), 6);  // the map arrived there
    }
  }
}

// Links written through and modes kept are the file writer's (core): here the tools use it.
TEST_F(ToolSafetyTest, FifosAreWrittenInPlaceNeverReadAndReadOnlyFilesKeepTheirMode) {
  const std::string t = terrain();
  ASSERT_EQ(::mkfifo(path("map.png").c_str(), 0644), 0);
  // The reader gives up after a while: a tool that never opens the FIFO cannot hang the test.
  const Result fifo = shell("(timeout 20 cat " + path("map.png") + " >" + path("received") + " &) ; " +
                            kSkylightTool + " " + t + " -o " + path("map.png"));
  EXPECT_EQ(fifo.status, 0) << fifo.err;
  EXPECT_TRUE(S_ISFIFO(modeOf(path("map.png"))));
  for (int i = 0; i < 200 && readFile(path("received")).size() < 8; ++i) ::usleep(50000);
  EXPECT_EQ(readFile(path("received")).compare(0, 4, "\x89PNG"), 0);
  writeFile(path("ro.csv"), "earlier\n");
  ASSERT_EQ(::chmod(path("ro.csv").c_str(), 0444), 0);
  const Result readOnly = shell(kSkylightTool + " " + t + " --csv " + path("ro.csv"));
  EXPECT_EQ(readOnly.status, ::geteuid() == 0 ? 0 : 1) << readOnly.err;
  if (::geteuid() == 0) {
    EXPECT_EQ(lineCount(readFile(path("ro.csv"))), 6);
  } else {
    EXPECT_EQ(readFile(path("ro.csv")), "earlier\n");
  }
  EXPECT_EQ(modeOf(path("ro.csv")) & 07777, 0444u);

  // A georeference that is a FIFO is never read: a sun is refused (the
  // grid's north is unknown), a sky without one is mapped. A tool still
  // running after 60 s is stopped (status 124): it hung.
  ASSERT_EQ(::mkfifo(path("t.hrz.json").c_str(), 0644), 0);
  Result run = shell("timeout 60 " + kSkylightTool + " " + t + " -o " + path("m.tif"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "halvane-skylight: " + path("t.hrz.json") + ": not a georeference file (not a regular file)\n");
  EXPECT_FALSE(exists(path("m.tif")));
  run = shell("timeout 60 " + kSkylightTool + " " + t + " --sky uniform -o " + path("m.tif"));
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(ToolSafetyTest, AFileThatCannotBeWrittenLeavesEveryEarlierFileAsItWas) {
  const std::string t = terrain(), cone = utmCone(folder_);
  writeFile(path("map.png"), "earlier map\n");
  writeFile(path("site.hrz"), "earlier terrain\n");
  ASSERT_EQ(::mkdir(path("site.hrz.json").c_str(), 0755), 0);
  const struct {
    std::string command, failing, kept;  // the file the line names; the one that keeps its contents
  } cases[] = {
      {kSkylightTool + " " + t + " -o " + path("map.png") + " --csv " + path("missing/x.csv"), path("missing/x.csv"),
       path("map.png")},
      {kTerrainTool + " --dem " + cone + " --quiet -o " + path("site.hrz"), path("site.hrz.json"), path("site.hrz")},
  };
  for (const auto& c : cases) {
    const std::string earlier = readFile(c.kept);
    expectRefused(c.command, 1, "cannot write " + c.failing + ": ");
    EXPECT_EQ(readFile(c.kept), earlier) << c.kept;
  }
}

TEST_F(ToolSafetyTest, HugeRastersEndAtOnce) {
  // A VRT declaring 200000 x 200000 cells with no data behind them.
  writeFile(path("huge.vrt"),
            "<VRTDataset rasterXSize=\"200000\" rasterYSize=\"200000\"><SRS>EPSG:32633</SRS>"
            "<GeoTransform>500000, 1, 0, 5000000, 0, -1</GeoTransform>"
            "<VRTRasterBand dataType=\"Float32\" band=\"1\"></VRTRasterBand></VRTDataset>\n");
  // A tool still running after 60 s is stopped (status 124): it hung.
  const Result run =
      shell("timeout 60 " + kTerrainTool + " --dem " + path("huge.vrt") + " --max-size 16 -o " + path("h.hrz"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("\nhalvane-terrain: terrain: 16 x 16 cells of 12500 m"), std::string::npos) << run.err;
}

TEST_F(ToolSafetyTest, AMapWiderThanAMillionCellsIsWritten) {
  const int width = 1000001;
  const std::string name = path("wide.hrz");
  writeFile(name, terrainBytes(width, 1, 1, std::vector<float>(width, 0.0f), std::vector<uint16_t>(width, 32768)));
  const Result run = shell(kSkylightTool + " " + name + " -o " + path("wide.png"));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string png = readFile(path("wide.png"));
  ASSERT_GT(png.size(), 24u);
  const unsigned char* ihdr = reinterpret_cast<const unsigned char*>(png.data()) + 16;
  EXPECT_EQ(unsigned(ihdr[0]) << 24 | unsigned(ihdr[1]) << 16 | unsigned(ihdr[2]) << 8 | ihdr[3], unsigned(width));
}

// --opt=value is the shared option reader's (options_test).
TEST_F(ToolSafetyTest, TheThreeToolsReadTheirOptionsAlike) {
  for (const std::string& tool : {kTerrainTool, kSkylightTool, kSamplesTool}) {
    const std::string name = tool.substr(tool.rfind('/') + 1);
    const Result run = shell(tool + " -h");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: " + name, 0), 0u) << run.out;
    EXPECT_EQ(shell(tool + " --version").out, name + " " + halvaneVersion() + "\n");
  }
}

}  // namespace
