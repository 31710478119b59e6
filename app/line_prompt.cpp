// LinePrompt and the folder listing.
//
// Index
//   1. Folder listing and name filter
//   2. Starting a prompt
//   3. Keys in chooser mode
//   4. Keys in text mode (with Tab completion)
#include "app/line_prompt.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr unsigned char kBackspace = 8;
constexpr unsigned char kTab = 9;
constexpr unsigned char kEnter = 13;
constexpr unsigned char kEscape = 27;
constexpr unsigned char kDelete = 127;

// The folder part of "DIR/*"; a pattern without a slash lists ".".
std::string folderOfPattern(const std::string& pattern) {
  std::string::size_type slash = pattern.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return pattern.substr(0, slash);
}

void reportListingError(int errorNumber, const char* pattern) {
  std::printf("Error(%d) opening %s\n", errorNumber, pattern);
  std::fflush(stdout);
}

}  // namespace

// ---- 1. Folder listing and name filter ----------------------------------------

NameList listFolder(const char* pattern) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator entry(folderOfPattern(pattern), error);
  // The listing the program always had also reports the folder itself and
  // its parent.
  std::vector<std::string> found = {".", ".."};
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    found.push_back(entry->path().filename().string());
  }
  if (error) {
    reportListingError(error.value(), pattern);
    return NameList();
  }
  std::sort(found.begin(), found.end());  // std::string compares bytes as unsigned
  NameList names;
  for (const std::string& name : found) names.append(name);
  return names;
}

bool hasExtension(const std::string& name, const char* extension) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, extension) == 0;
}

void collectFileNames(NameList& names, const char* pattern, const char* extension) {
  names.clear();
  NameList all = listFolder(pattern);
  for (int i = 0; i < all.numElements; ++i) {
    if (hasExtension(all.element(i), extension)) names.append(all.element(i));
  }
}

// ---- 2. Starting a prompt -----------------------------------------------------

void LinePrompt::startPrompt(char* text_, int capacity_, PromptAction action_, bool freeText_) {
  text = text_;
  capacity = capacity_;
  action = std::move(action_);
  freeText = freeText_;
  length = static_cast<int>(strnlen(text, static_cast<size_t>(capacity - 1)));
}

void LinePrompt::startChooser(char* text_, int capacity_, PromptAction action_,
                              const NameList* names_, bool freeText_) {
  text = text_;
  capacity = capacity_;
  if (names_ != nullptr && names_->numElements > 0 && !freeText_) {
    show(names_->element(0));
  } else {
    text[0] = '\0';
  }
  names = names_;
  current = 0;
  startPrompt(text_, capacity_, std::move(action_), freeText_);
}

bool LinePrompt::isChooser() const {
  return !freeText && names != nullptr && names->numElements > 0;
}

bool LinePrompt::handleKey(unsigned char key) {
  return isChooser() ? chooserKey(key) : textKey(key);
}

bool LinePrompt::finish() {
  text[length] = '\0';
  if (action) action(text);
  return true;
}

bool LinePrompt::cancel() {
  text[0] = '\0';
  length = 0;
  return true;
}

// Copies a name into the text, cut to capacity - 1 characters.
void LinePrompt::show(const std::string& name) {
  size_t copied = std::min(name.size(), static_cast<size_t>(capacity - 1));
  std::memcpy(text, name.data(), copied);
  text[copied] = '\0';
  length = static_cast<int>(copied);
}

// ---- 3. Keys in chooser mode -----------------------------------------------------

bool LinePrompt::chooserKey(unsigned char key) {
  if (key == kEnter) return finish();
  if (key == kEscape) return cancel();
  int count = names->numElements;
  if (key == '+' || key == '=') current = (current + 1) % count;
  if (key == '-' || key == '_') current = (count + current - 1) % count;
  show(names->element(current));
  return false;
}

// ---- 4. Keys in text mode ------------------------------------------------------------

bool LinePrompt::textKey(unsigned char key) {
  switch (key) {
    case kBackspace:
    case kDelete:
      if (length > 0) --length;
      return false;
    case kEnter:
      return finish();
    case kTab:
      complete();
      return false;
    case kEscape:
      return cancel();
    default:
      if (key >= 32 && key <= 126 && length < capacity - 1) text[length++] = static_cast<char>(key);
      return false;
  }
}

// Completes the typed beginning to the first offered name that starts with
// it, echoing every name examined on standard output.
void LinePrompt::complete() {
  if (length == 0 || names == nullptr) return;
  size_t typed = static_cast<size_t>(length);
  for (int i = 0; i < names->numElements; ++i) {
    const std::string& name = names->element(i);
    std::printf("%s\n", name.c_str());
    std::fflush(stdout);
    if (name.size() >= typed && std::memcmp(name.data(), text, typed) == 0) {
      show(name);
      return;
    }
  }
}
