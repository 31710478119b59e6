#include "app/line_prompt.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

NameList namesOf(const std::vector<std::string>& names) {
  NameList list;
  for (const std::string& n : names) list.append(n);
  return list;
}

std::vector<std::string> toVector(const NameList& list) {
  std::vector<std::string> v;
  for (int i = 0; i < list.numElements; ++i) v.push_back(list.element(i));
  return v;
}

// A prompt on its own 100-character buffer that records the action's calls.
struct PromptFixture : ::testing::Test {
  char buffer[100] = {};
  LinePrompt prompt;
  std::vector<std::string> calls;

  PromptAction recorder() {
    return [this](const char* text) { calls.push_back(text); };
  }
  std::string shown() const { return std::string(prompt.text, prompt.length); }
  void type(const std::string& keys) {
    for (char c : keys) EXPECT_FALSE(prompt.handleKey(static_cast<unsigned char>(c)));
  }
};

// ---- Chooser -----------------------------------------------------------------

using ChooserTest = PromptFixture;

TEST_F(ChooserTest, StepsThroughNamesAndWrapsBothWays) {
  NameList names = namesOf({"a.hrz", "b.hrz", "c.hrz"});
  prompt.startChooser(buffer, 100, recorder(), &names, false);
  ASSERT_TRUE(prompt.isChooser());
  EXPECT_EQ(shown(), "a.hrz");
  EXPECT_STREQ(buffer, "a.hrz");

  type("+");
  EXPECT_EQ(shown(), "b.hrz");
  type("=+");  // `=` is `+` without Shift
  EXPECT_EQ(shown(), "a.hrz");

  type("-");
  EXPECT_EQ(shown(), "c.hrz");
  type("_");
  EXPECT_EQ(shown(), "b.hrz");
}

TEST_F(ChooserTest, TypedLettersOnlyReshowTheCurrentName) {
  NameList names = namesOf({"first.hrz", "second.hrz"});
  prompt.startChooser(buffer, 100, recorder(), &names, false);
  type("+xyz");
  prompt.handleKey(8);  // Backspace does not edit either
  EXPECT_EQ(shown(), "second.hrz");
}

TEST_F(ChooserTest, EnterCallsTheActionWithTheShownName) {
  NameList names = namesOf({"a.hrz", "b.hrz"});
  prompt.startChooser(buffer, 100, recorder(), &names, false);
  type("+");
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls, std::vector<std::string>{"b.hrz"});
}

TEST_F(ChooserTest, EscapeClosesWithoutCallingTheAction) {
  NameList names = namesOf({"a.hrz"});
  prompt.startChooser(buffer, 100, recorder(), &names, false);
  EXPECT_TRUE(prompt.handleKey(27));
  EXPECT_TRUE(calls.empty());
  EXPECT_STREQ(buffer, "");
}

TEST_F(ChooserTest, WithoutNamesItIsATextLine) {
  strcpy(buffer, "left over");
  NameList none;
  prompt.startChooser(buffer, 100, recorder(), &none, false);
  EXPECT_FALSE(prompt.isChooser());
  EXPECT_EQ(prompt.length, 0);
  type("new.hrz");
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls, std::vector<std::string>{"new.hrz"});
}

TEST_F(ChooserTest, LongNamesAreCutTo99Characters) {
  std::string longName(150, 'n');
  NameList names = namesOf({"short.hrz", longName});
  prompt.startChooser(buffer, 100, recorder(), &names, false);
  type("+");
  EXPECT_EQ(prompt.length, 99);
  EXPECT_EQ(std::string(buffer), std::string(99, 'n'));
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls.at(0).size(), 99u);
}

// ---- Text line -------------------------------------------------------------------

using TextLineTest = PromptFixture;

TEST_F(TextLineTest, StartsWithTheTextInTheBuffer) {
  strcpy(buffer, "abc");
  prompt.startPrompt(buffer, 100, recorder(), true);
  EXPECT_EQ(prompt.length, 3);
  type("d");
  prompt.handleKey(13);
  EXPECT_EQ(calls, std::vector<std::string>{"abcd"});
}

TEST_F(TextLineTest, EditsWithBackspaceAndDeleteAndIgnoresUnprintables) {
  prompt.startPrompt(buffer, 100, recorder(), true);
  type("out.tzz");
  prompt.handleKey(8);
  prompt.handleKey(127);
  type("xt");
  prompt.handleKey(1);
  prompt.handleKey(200);
  prompt.handleKey(9);  // Tab without names completes nothing
  EXPECT_EQ(shown(), "out.txt");
  for (int i = 0; i < 10; ++i) prompt.handleKey(8);  // stops at the start
  EXPECT_EQ(prompt.length, 0);
}

TEST_F(TextLineTest, TheHundredthCharacterIsRefused) {
  prompt.startPrompt(buffer, 100, recorder(), true);
  type(std::string(99, 'a'));
  type("b");
  EXPECT_EQ(prompt.length, 99);
  EXPECT_EQ(shown(), std::string(99, 'a'));
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls.at(0), std::string(99, 'a'));
}

TEST_F(TextLineTest, EnterOnAnEmptyLineCallsTheActionWithAnEmptyName) {
  prompt.startPrompt(buffer, 100, recorder(), true);
  EXPECT_TRUE(prompt.handleKey(13));
  EXPECT_EQ(calls, std::vector<std::string>{""});
}

TEST_F(TextLineTest, EscapeClosesWithoutCallingTheAction) {
  prompt.startPrompt(buffer, 100, recorder(), true);
  type("name.txt");
  EXPECT_TRUE(prompt.handleKey(27));
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(prompt.length, 0);
}

TEST_F(TextLineTest, FreeTextChooserKeepsPlusAndMinusAsText) {
  NameList names = namesOf({"a.txt"});
  prompt.startChooser(buffer, 100, recorder(), &names, true);
  EXPECT_FALSE(prompt.isChooser());
  type("+-=_");
  EXPECT_EQ(shown(), "+-=_");
}

// ---- Tab completion ------------------------------------------------------------------

using CompletionTest = PromptFixture;

TEST_F(CompletionTest, CompletesToTheFirstMatchAndEchoesTheNamesExamined) {
  NameList names = namesOf({"alpha.txt", "beta.txt", "bravo.txt"});
  prompt.startPrompt(buffer, 100, recorder(), true);
  prompt.names = &names;
  type("b");
  testing::internal::CaptureStdout();
  prompt.handleKey(9);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "alpha.txt\nbeta.txt\n");
  EXPECT_EQ(shown(), "beta.txt");
}

TEST_F(CompletionTest, WithoutAMatchEchoesAllAndChangesNothing) {
  NameList names = namesOf({"alpha.txt", "beta.txt"});
  prompt.startPrompt(buffer, 100, recorder(), true);
  prompt.names = &names;
  type("alphabet");  // longer than a name that starts like it
  testing::internal::CaptureStdout();
  prompt.handleKey(9);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "alpha.txt\nbeta.txt\n");
  EXPECT_EQ(shown(), "alphabet");
}

TEST_F(CompletionTest, AnEmptyLineIsNotCompleted) {
  NameList names = namesOf({"alpha.txt"});
  prompt.startPrompt(buffer, 100, recorder(), true);
  prompt.names = &names;
  testing::internal::CaptureStdout();
  prompt.handleKey(9);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(prompt.length, 0);
}

TEST_F(CompletionTest, CopiesAtMost99Characters) {
  std::string longName = "x" + std::string(200, 'y');
  NameList names = namesOf({longName});
  prompt.startPrompt(buffer, 100, recorder(), true);
  prompt.names = &names;
  type("x");
  testing::internal::CaptureStdout();
  prompt.handleKey(9);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(prompt.length, 99);
  EXPECT_EQ(std::string(buffer), longName.substr(0, 99));
}

// ---- Folder listing ----------------------------------------------------------------------

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(testing::TempDir()) /
              ("halvane_listing_" + std::string(::testing::UnitTest::GetInstance()
                                                    ->current_test_info()
                                                    ->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void touch(const std::string& name) { std::ofstream(folder_ / name) << "x"; }
  std::string pattern() const { return (folder_ / "*").string(); }

  std::filesystem::path folder_;
};

TEST_F(FolderTest, ListsEveryEntryInByteOrder) {
  for (const char* name : {"b.hrz", "B.hrz", "a.txt", "_x", "~tilde"}) touch(name);
  std::filesystem::create_directory(folder_ / "sub.hrz");
  EXPECT_EQ(toVector(listFolder(pattern().c_str())),
            (std::vector<std::string>{".", "..", "B.hrz", "_x", "a.txt", "b.hrz", "sub.hrz",
                                      "~tilde"}));
}

TEST_F(FolderTest, KeepsNamesWithTheExtensionInListingOrder) {
  for (const char* name : {"z.hrz", "a.hrz", ".hrz", "x.HRZ", "t.hrz.bak", "out.txt", "hrz"}) {
    touch(name);
  }
  NameList names = namesOf({"stale.hrz"});
  collectFileNames(names, pattern().c_str(), ".hrz");
  EXPECT_EQ(toVector(names), (std::vector<std::string>{"a.hrz", "z.hrz"}));
  collectFileNames(names, pattern().c_str(), ".txt");
  EXPECT_EQ(toVector(names), std::vector<std::string>{"out.txt"});
}

TEST_F(FolderTest, AFolderThatCannotBeListedGivesTheErrorLineAndNoNames) {
  std::string missing = (folder_ / "missing" / "*").string();
  testing::internal::CaptureStdout();
  NameList names = listFolder(missing.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error(" + std::to_string(ENOENT) + ") opening " + missing + "\n");
  EXPECT_EQ(names.numElements, 0);
}

TEST(NameFilterTest, NeedsMoreThanTheExtensionAndMatchesCase) {
  EXPECT_TRUE(hasExtension("a.hrz", ".hrz"));
  EXPECT_FALSE(hasExtension(".hrz", ".hrz"));
  EXPECT_FALSE(hasExtension("a.Hrz", ".hrz"));
  EXPECT_FALSE(hasExtension("a.hrz ", ".hrz"));
  EXPECT_FALSE(hasExtension("a.txt", ".hrz"));
}

}  // namespace
