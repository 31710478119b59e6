// Writing a file completely or not at all.
//
// The data goes to a temporary file beside the target (same folder, so the
// final rename cannot cross file systems). Only a temporary file that was
// written and closed without error replaces the target; otherwise it is
// removed and an earlier file of that name stays as it was.
#pragma once

#include <cstdio>
#include <string>

class FileReplacement {
 public:
  // Opens the temporary file for binary writing with stdio.
  explicit FileReplacement(const std::string& fileName);
  // Removes the temporary file if it was never committed.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The name of the temporary file, for writers that open it themselves.
  const std::string& temporaryName() const { return temporary_; }
  // The open temporary file, or null when it could not be opened (then
  // `openError()` says why).
  std::FILE* file() const { return file_; }
  const std::string& openError() const { return openError_; }

  // Closes the temporary file (if open) and, when `written` is true and the
  // close succeeds, renames it over the target. Returns whether the target
  // was replaced; otherwise the temporary file is removed and `error` reads
  // "cannot write NAME: reason" (unless the caller had already set it).
  bool commit(bool written, std::string& error);

 private:
  std::string target_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  std::string openError_;
  bool finished_ = false;
};
