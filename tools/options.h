// The command lines of the tools, read one way, and how the tools end.
//
// Index
//   1. Exit statuses and failures
//   2. Numbers
//   3. OptionReader
//
// Every tool takes "--opt value" and "--opt=value" alike (a short option
// such as -o only as "-o value"), answers -h and --help with its usage and
// --version with "NAME VERSION" on standard output, and ends with status 0
// when done, 1 when an input or output failed and 2 for a bad argument. Each
// failure is one line on standard error, starting with the tool's name:
//
//   halvane-skylight: --sun takes ELEVATION,BEARING in degrees, ..., not '0x10,5'
//   halvane-skylight: cannot open valley.hrz: No such file or directory
//
// Numbers are decimal only: no hexadecimal, no "inf" or "nan", no spaces,
// nothing after them; a whole number beyond its range (also one beyond
// 64 bits) is refused and named, never wrapped.
#pragma once

#include <functional>
#include <string>
#include <vector>

// ---- 1. Exit statuses and failures ---------------------------------------------

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;       // an input or output failed
constexpr int kExitBadArgument = 2;  // the command line is wrong

// What ends a tool early: thrown by the reader and by the tool's own code,
// caught by runTool. `message` is the line without the tool's name (empty
// when there is nothing to say, after --help or --version).
struct ToolExit {
  int status;
  std::string message;
};

// Ends the tool with status 1 (an input or output failed) or 2 (a bad argument).
[[noreturn]] void failInputOutput(const std::string& message);
[[noreturn]] void failArgument(const std::string& message);

// What the reader needs to know of a tool: its name (the message prefix and
// the first word of --version), its usage text (-h, --help) and the list of
// its options that a message about an unknown option gives.
struct ToolDescription {
  const char* name;
  const char* usage;
  const char* accepted;
};

class OptionReader;

// Runs a tool's main part with the reader of its arguments and returns the
// status for main to return: the body's own, or that of a ToolExit after its
// line "NAME: message" on standard error. Running out of memory is a
// failure (status 1) too. Standard output is flushed at the end; if it
// could not be written, that is a failure as well.
int runTool(const ToolDescription& tool, int argc, char** argv,
            const std::function<int(OptionReader&)>& body);

// ---- 2. Numbers ---------------------------------------------------------------------

// An optional sign and decimal digits, nothing else, within long long.
bool parseWholeNumber(const std::string& text, long long& value);
// Decimal digits (an optional "+"), within unsigned long long.
bool parseUnsignedNumber(const std::string& text, unsigned long long& value);
// A finite decimal number: optional sign, digits with an optional point,
// optional exponent ("-12.5", ".5", "3e2"). A value too large for a double
// is refused; one too small becomes 0.
bool parseDecimal(const std::string& text, double& value);
// Exactly `count` decimals separated by commas.
bool parseDecimalList(const std::string& text, size_t count, std::vector<double>& values);
// Exactly `count` whole numbers separated by commas.
bool parseWholeNumberList(const std::string& text, size_t count, std::vector<long long>& values);

// ---- 3. OptionReader -------------------------------------------------------------------

// Steps through the arguments:
//
//   OptionReader& args;
//   while (args.next()) {
//     if (args.is("--points")) points = args.wholeNumber(1, 10000);
//     else if (args.isFlag("--quiet")) quiet = true;
//     else if (args.isOperand()) terrain = args.argument();
//     else args.unknown();
//   }
class OptionReader {
 public:
  OptionReader(const ToolDescription& tool, int argc, char** argv);

  // Moves to the next argument; false when there are no more. -h and
  // --help print the usage, --version the version, and end the tool with
  // status 0. After "--" every argument is an operand.
  bool next();

  // Whether the current argument is the option `name` ("--points" also as
  // "--points=250"; a short option like "-o" only as itself).
  bool is(const char* name) const;
  // Whether it is the option `name` that takes no value; "--quiet=yes" is
  // refused.
  bool isFlag(const char* name) const;
  // Whether it is an operand: not an option ("-" alone is an operand).
  bool isOperand() const;
  // The current argument as given.
  const std::string& argument() const { return argument_; }
  // The option's name as given, without "=value".
  const std::string& option() const { return option_; }

  // The current option's value: after "=" or the next argument. A missing
  // value is a bad argument ("--sky needs a value: WHAT").
  std::string value(const std::string& what);
  // The value as a whole number from low to high.
  long long wholeNumber(long long low, long long high);
  unsigned long long unsignedNumber(unsigned long long high);

  // Refuses the current option's value: "OPTION takes WHAT, not 'VALUE'".
  [[noreturn]] void refuse(const std::string& what, const std::string& value) const;
  // Refuses the current argument: an unknown option, or an operand the tool
  // does not take, with the tool's accepted options.
  [[noreturn]] void unknown() const;

 private:
  const ToolDescription& tool_;
  std::vector<std::string> arguments_;
  size_t next_ = 0;
  bool operandsOnly_ = false;
  std::string argument_, option_, inlineValue_;
  bool hasInlineValue_ = false, isOperand_ = false;
};
