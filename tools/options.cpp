// The command lines of the tools, and how the tools end.
//
// Index
//   1. Exit statuses and failures
//   2. Numbers
//   3. OptionReader
#include "tools/options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/version.h"

// ---- 1. Exit statuses and failures -----------------------------------------------

void failInputOutput(const std::string& message) { throw ToolExit{kExitFailed, message}; }

void failArgument(const std::string& message) { throw ToolExit{kExitBadArgument, message}; }

int runTool(const ToolDescription& tool, int argc, char** argv,
            const std::function<int(OptionReader&)>& body) {
  int status = kExitDone;
  std::string message;
  try {
    OptionReader reader(tool, argc, argv);
    status = body(reader);
  } catch (const ToolExit& exit) {
    status = exit.status;
    message = exit.message;
  } catch (const std::bad_alloc&) {
    status = kExitFailed;
    message = "out of memory";
  }
  if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && status == kExitDone) {
    status = kExitFailed;
    message = "cannot write standard output";
  }
  if (!message.empty()) {
    std::fprintf(stderr, "%s: %s\n", tool.name, message.c_str());
    std::fflush(stderr);
  }
  return status;
}

// ---- 2. Numbers ---------------------------------------------------------------------------

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at`; returns how many.
size_t skipDigits(const std::string& text, size_t& at) {
  const size_t start = at;
  while (at < text.size() && isDigit(text[at])) ++at;
  return at - start;
}

bool isDecimalText(const std::string& text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  size_t digits = skipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    ++at;
    digits += skipDigits(text, at);
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (skipDigits(text, at) == 0) return false;
  }
  return at == text.size();
}

std::vector<std::string> splitAtCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    parts.push_back(text.substr(start, comma - start));
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

bool parseWholeNumber(const std::string& text, long long& value) {
  size_t at = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (skipDigits(text, at) == 0 || at != text.size()) return false;
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0) return false;
  value = parsed;
  return true;
}

bool parseUnsignedNumber(const std::string& text, unsigned long long& value) {
  size_t at = !text.empty() && text[0] == '+' ? 1 : 0;
  if (skipDigits(text, at) == 0 || at != text.size()) return false;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text.c_str(), nullptr, 10);
  if (errno != 0) return false;
  value = parsed;
  return true;
}

bool parseDecimal(const std::string& text, double& value) {
  if (!isDecimalText(text)) return false;
  const double parsed = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parseDecimalList(const std::string& text, size_t count, std::vector<double>& values) {
  const std::vector<std::string> parts = splitAtCommas(text);
  if (parts.size() != count) return false;
  std::vector<double> parsed(count);
  for (size_t k = 0; k < count; ++k)
    if (!parseDecimal(parts[k], parsed[k])) return false;
  values = parsed;
  return true;
}

bool parseWholeNumberList(const std::string& text, size_t count, std::vector<long long>& values) {
  const std::vector<std::string> parts = splitAtCommas(text);
  if (parts.size() != count) return false;
  std::vector<long long> parsed(count);
  for (size_t k = 0; k < count; ++k)
    if (!parseWholeNumber(parts[k], parsed[k])) return false;
  values = parsed;
  return true;
}

// ---- 3. OptionReader ------------------------------------------------------------------------

OptionReader::OptionReader(const ToolDescription& tool, int argc, char** argv)
    : tool_(tool), arguments_(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0)) {}

bool OptionReader::next() {
  while (next_ < arguments_.size()) {
    argument_ = arguments_[next_++];
    option_ = argument_;
    inlineValue_.clear();
    hasInlineValue_ = false;
    isOperand_ = operandsOnly_ || argument_.size() < 2 || argument_[0] != '-';
    if (isOperand_) return true;
    if (argument_ == "--") {
      operandsOnly_ = true;
      continue;
    }
    const size_t equals = argument_.find('=');
    if (argument_.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      option_ = argument_.substr(0, equals);
      inlineValue_ = argument_.substr(equals + 1);
      hasInlineValue_ = true;
    }
    if (isFlag("-h") || isFlag("--help")) {
      std::fputs(tool_.usage, stdout);
      throw ToolExit{kExitDone, ""};
    }
    if (isFlag("--version")) {
      std::printf("%s %s\n", tool_.name, halvaneVersion());
      throw ToolExit{kExitDone, ""};
    }
    return true;
  }
  return false;
}

bool OptionReader::is(const char* name) const { return !isOperand_ && option_ == name; }

bool OptionReader::isFlag(const char* name) const {
  if (!is(name)) return false;
  if (hasInlineValue_) failArgument(option_ + " takes no value, not '" + argument_ + "'");
  return true;
}

bool OptionReader::isOperand() const { return isOperand_; }

std::string OptionReader::value(const std::string& what) {
  if (hasInlineValue_) return inlineValue_;
  if (next_ >= arguments_.size()) failArgument(option_ + " needs a value: " + what);
  return arguments_[next_++];
}

void OptionReader::refuse(const std::string& what, const std::string& value) const {
  failArgument(option_ + " takes " + what + ", not '" + value + "'");
}

long long OptionReader::wholeNumber(long long low, long long high) {
  const std::string what = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
  const std::string text = value(what);
  long long number = 0;
  if (!parseWholeNumber(text, number) || number < low || number > high) refuse(what, text);
  return number;
}

unsigned long long OptionReader::unsignedNumber(unsigned long long high) {
  const std::string what = "a whole number from 0 to " + std::to_string(high);
  const std::string text = value(what);
  unsigned long long number = 0;
  if (!parseUnsignedNumber(text, number) || number > high) refuse(what, text);
  return number;
}

void OptionReader::unknown() const {
  if (isOperand_)
    failArgument("unexpected argument '" + argument_ + "'; accepted: " + tool_.accepted);
  failArgument("unknown option '" + option_ + "'; accepted: " + tool_.accepted);
}
