#include "core/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/test_files.h"

namespace {

mode_t modeOf(const std::string& path) {
  struct stat status;
  return ::lstat(path.c_str(), &status) == 0 ? status.st_mode : 0;
}

mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

using OutputFileTest = ScratchFolderTest;

bool writeText(OutputFile& file, const std::string& text) { return file.open() && file.write(text) && file.commit(); }

// Each file is written through a new, short-named temporary beside the file
// replaced (behind a link, in its folder), which a discarded file removes.
TEST_F(OutputFileTest, ReplacesKeepingPermissionsAndWritesThroughLinks) {
  writeFile(path("kept.txt"), "old\n");
  ASSERT_EQ(::chmod(path("kept.txt").c_str(), 0640), 0);
  ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
  writeFile(path("sub/real.txt"), "old\n");
  ASSERT_EQ(::symlink("sub/real.txt", path("link.txt").c_str()), 0);
  ASSERT_EQ(::symlink("made-by-link.txt", path("dangling.txt").c_str()), 0);
  // The name given, the folder and name of the file that takes the text, its mode.
  const struct { std::string name, folder, written; mode_t mode; } cases[] = {
      {"new.txt", "", "new.txt", newFileMode()},
      {"kept.txt", "", "kept.txt", 0640},
      {"link.txt", "sub/", "real.txt", newFileMode()},
      {"dangling.txt", "", "made-by-link.txt", newFileMode()},
  };
  for (const auto& c : cases) {
    OutputFile file(path(c.name));
    ASSERT_TRUE(file.open() && file.write("new\n")) << file.error();
    const std::string temporary = file.temporaryName();
    EXPECT_EQ(temporary.rfind(path(c.folder + ".halvane-"), 0), 0u) << temporary;
    EXPECT_EQ(temporary.size(), path(c.folder + ".halvane-XXXXXX").size()) << temporary;
    EXPECT_TRUE(S_ISREG(modeOf(temporary))) << temporary;
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(readFile(path(c.folder + c.written)), "new\n") << c.name;
    EXPECT_EQ(modeOf(path(c.folder + c.written)) & 07777, c.mode) << c.name;
  }
  OutputFile discarded(path("new.txt"));
  ASSERT_TRUE(discarded.open() && discarded.write("newer\n")) << discarded.error();
  discarded.discard();
  EXPECT_EQ(readFile(path("new.txt")), "new\n");
  EXPECT_TRUE(S_ISLNK(modeOf(path("link.txt"))));
  EXPECT_TRUE(S_ISLNK(modeOf(path("dangling.txt"))));
  EXPECT_EQ(entries(), (std::vector<std::string>{"dangling.txt", "kept.txt", "link.txt", "made-by-link.txt",
                                                 "new.txt", "sub"}));
}

TEST_F(OutputFileTest, DestinationsThatCannotBeWrittenAreRefusedUntouched) {
  ASSERT_EQ(::mkdir(path("folder").c_str(), 0755), 0);
  writeFile(path("folder/inside"), "kept\n");
  const struct { std::string name, reason; } cases[] = {
      {path("folder"), "Is a directory"},
      {path("missing/x.txt"), "No such file or directory"},
      {path(std::string(256, 'n')), "File name too long"},
      {"", "No such file or directory"},
  };
  for (const auto& c : cases) {
    OutputFile file(c.name);
    EXPECT_FALSE(file.check());
    EXPECT_TRUE(file.failedToOpen());
    EXPECT_EQ(file.error(), "cannot write " + c.name + ": " + c.reason);
    EXPECT_FALSE(writeText(file, "x")) << c.name;
  }
  EXPECT_EQ(readFile(path("folder/inside")), "kept\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"folder"});
}

// a.txt written in full and b.txt beyond a file size limit of 16 KiB: the
// set fails with the limit's reason and neither file is put in place.
TEST_F(OutputFileTest, AFailedWriteLeavesEveryFileOfTheSetAsItWas) {
  writeFile(path("a.txt"), "earlier a\n");
  writeFile(path("b.txt"), "earlier b\n");
  std::string error;
  EXPECT_EXIT(
      {
        limitFileSize(16384);
        OutputFileSet set;
        OutputFile& a = set.add(path("a.txt"));
        OutputFile& b = set.add(path("b.txt"));
        if (!set.checkAll(error)) std::exit(3);
        a.write("small\n");
        b.write(std::string(65536, 'b'));
        std::exit(!set.commitAll(error) && error == "cannot write " + path("b.txt") + ": File too large" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(readFile(path("a.txt")), "earlier a\n");  // written in full, yet not put in place
  EXPECT_EQ(readFile(path("b.txt")), "earlier b\n");
  EXPECT_EQ(entries(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// Standard output redirected to a regular file: naming that file (as
// /dev/stdout would) appends to it instead of replacing it.
TEST_F(OutputFileTest, TheProcesssOwnStandardOutputIsWrittenInPlace) {
  const std::string name = path("out.txt");
  EXPECT_EXIT(
      {
        const int out = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::write(STDOUT_FILENO, "first\n", 6);
        OutputFile file(name);
        OutputFile standard = OutputFile::standardOutput();
        const bool ok = writeText(file, "second\n") && file.inPlace() && writeText(standard, "third\n");
        std::exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(readFile(name), "first\nsecond\nthird\n");
}

}  // namespace
