#include "app/line_prompt.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/test_files.h"

namespace {

using Names = std::vector<std::string>;

NameList namesOf(const Names& names) {
  NameList list;
  for (const std::string& n : names) list.append(n);
  return list;
}

Names toVector(const NameList& list) {
  Names v;
  for (int i = 0; i < list.numElements; ++i) v.push_back(list.element(i));
  return v;
}

// A prompt on its own 100-character buffer that records the action's calls.
struct PromptTest : ::testing::Test {
  char buffer[100] = {};
  LinePrompt prompt;
  Names calls;

  PromptAction record = [this](const char* text) { calls.push_back(text); };
  std::string shown() const { return std::string(prompt.text, prompt.length); }
  void type(const std::string& keys) {
    for (char c : keys) EXPECT_FALSE(prompt.handleKey(static_cast<unsigned char>(c)));
  }
};

TEST_F(PromptTest, ChooserWrapsIgnoresTypingCutsLongNamesAndEscapeCancels) {
  NameList names = namesOf({"a.hrz", "b.hrz", std::string(150, 'n')});
  prompt.startChooser(buffer, 100, record, &names, false);
  ASSERT_TRUE(prompt.isChooser());
  EXPECT_STREQ(buffer, "a.hrz");
  const struct { const char* keys; std::string shown; } steps[] = {
      {"+", "b.hrz"}, {"=+", "a.hrz"}, {"-", std::string(99, 'n')}, {"_", "b.hrz"}, {"xyz\b", "b.hrz"}};
  for (const auto& s : steps) {
    type(s.keys);
    EXPECT_EQ(shown(), s.shown) << s.keys;
  }
  EXPECT_TRUE(prompt.handleKey(13));
  prompt.startChooser(buffer, 100, record, &names, false);
  type("-");
  EXPECT_TRUE(prompt.handleKey(13));
  prompt.startChooser(buffer, 100, record, &names, false);
  EXPECT_TRUE(prompt.handleKey(27));  // ESC closes without calling the action
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(calls, (Names{"b.hrz", std::string(99, 'n')}));
}

TEST_F(PromptTest, TextLineEditsRefusesUnprintablesAndTheHundredthCharacter) {
  strcpy(buffer, "out");  // a text line starts from the buffer
  prompt.startPrompt(buffer, 100, record, true);
  type(".tzz");
  for (unsigned char key : {8, 127}) prompt.handleKey(key);  // Backspace, Delete
  type("xt");
  for (unsigned char key : {1, 200, 9}) prompt.handleKey(key);  // Tab: no names
  EXPECT_EQ(shown(), "out.txt");
  for (int i = 0; i < 10; ++i) prompt.handleKey(8);  // stops at the start
  EXPECT_EQ(prompt.length, 0);
  type(std::string(99, 'a') + "b");
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls, Names{std::string(99, 'a')});
}

TEST_F(PromptTest, TabCompletesToTheFirstMatchEchoingTheNamesExamined) {
  const std::string longName = "x" + std::string(200, 'y');
  NameList names = namesOf({"alpha.txt", "beta.txt", longName});
  const std::string all = "alpha.txt\nbeta.txt\n" + longName + "\n";
  const struct { const char* typed; std::string echoed, shown; } cases[] = {
      {"b", "alpha.txt\nbeta.txt\n", "beta.txt"},
      {"alphabet", all, "alphabet"},  // longer than a name that starts like it
      {"", "", ""},                   // an empty line is not completed
      {"x", all, longName.substr(0, 99)},
  };
  for (const auto& c : cases) {
    buffer[0] = '\0';
    prompt.startPrompt(buffer, 100, record, true);
    prompt.names = &names;
    type(c.typed);
    testing::internal::CaptureStdout();
    prompt.handleKey(9);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.echoed) << c.typed;
    EXPECT_EQ(shown(), c.shown) << c.typed;
  }
}

using FolderTest = ScratchFolderTest;

TEST_F(FolderTest, ListsEveryEntryInByteOrderKeepsNamesWithTheExtensionAndReportsErrors) {
  std::filesystem::create_directory(path("sub.hrz"));
  for (const char* name : {"b.hrz", "B.hrz", "_x", "~t", ".hrz", "x.HRZ", "t.hrz.bak", "a.txt"})
    writeFile(path(name), "x");
  const std::string pattern = path("*");
  EXPECT_EQ(toVector(listFolder(pattern.c_str())),
            (Names{".", "..", ".hrz", "B.hrz", "_x", "a.txt", "b.hrz", "sub.hrz", "t.hrz.bak",
                   "x.HRZ", "~t"}));
  NameList names = namesOf({"stale.hrz"});
  collectFileNames(names, pattern.c_str(), ".hrz");
  EXPECT_EQ(toVector(names), (Names{"B.hrz", "b.hrz", "sub.hrz"}));
  collectFileNames(names, pattern.c_str(), ".txt");
  EXPECT_EQ(toVector(names), Names{"a.txt"});
  EXPECT_FALSE(hasExtension("a.hrz ", ".hrz"));

  const std::string missing = path("missing/*");
  testing::internal::CaptureStdout();
  EXPECT_EQ(listFolder(missing.c_str()).numElements, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error(" + std::to_string(ENOENT) + ") opening " + missing + "\n");
}

}  // namespace
