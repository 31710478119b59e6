// Writing files so that they are complete or untouched: the one way every
// writer of Halvane writes a file.
//
// Index
//   1. OutputFile: one destination
//   2. OutputFileSet: files a command writes together
//
// A destination that is a regular file, or does not exist yet, is replaced
// atomically: the data go to a new temporary file, created exclusively
// (O_EXCL) with a short name (".halvane-XXXXXX") in the folder of the file
// that is really replaced, flushed to disk (fsync), closed and renamed over
// it. The replacement keeps the permissions (and, where allowed, the owner)
// of the file it replaces; a new file gets the permissions the process's
// file-creation mask allows. A symbolic link is written through: the file it
// points to is replaced, the link stays. A destination that exists but is
// not a regular file (a device, a FIFO, the process's own standard output)
// is written in place and never replaced. A folder is refused, and so is a
// file the user may not write.
//
// Every failure is one line, "cannot write NAME: reason", NAME as the caller
// gave it; the temporary file is removed and the destination stays as it was.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include <sys/types.h>

// The folder of a file name: "." for a name without one, "/" for the root.
std::string folderOf(const std::string& path);

// ---- 1. OutputFile ---------------------------------------------------------------

class OutputFile {
 public:
  explicit OutputFile(std::string name);
  // The process's standard output, written in place ("standard output" in messages).
  static OutputFile standardOutput();
  // Closes what is open and removes a temporary file that was not renamed.
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  OutputFile& operator=(OutputFile&&) = delete;

  const std::string& name() const { return name_; }

  // Looks at the destination without changing it: whether it can be
  // written, and how (replaced or in place). For a replacement a temporary
  // file is made and removed again, so that a missing or read-only folder, a
  // name too long, or a full file system show now rather than after long work.
  bool check();
  // Opens what the data go to: the temporary file, or the destination itself
  // when it is written in place (opening a FIFO waits for its reader).
  // Checks first, if check() was not called.
  bool open();
  // Writes all of `size` bytes; false (and error()) on the first failure,
  // after which every later step fails too.
  bool write(const void* data, size_t size);
  bool write(const std::string& text) { return write(text.data(), text.size()); }
  // Records a failure of the caller's own (e.g. an encoder's) as the reason.
  bool fail(const std::string& reason);

  // Whether the destination is written in place rather than replaced.
  bool inPlace() const { return kind_ != Kind::kReplaced; }
  // The name of the temporary file, for writers that open files by name
  // (GDAL). Empty for a destination written in place.
  const std::string& temporaryName() const { return temporary_; }

  // Flushes the data to disk and closes the file: after this only replace() remains.
  bool finish();
  // Renames the finished temporary file over the destination.
  bool replace();
  // finish() and replace(); on failure the destination stays as it was.
  bool commit();
  // Gives the writing up: closes, and removes the temporary file.
  void discard();

  // "cannot write NAME: reason" after a failure, else empty.
  const std::string& error() const { return error_; }
  // Whether the failure came before anything was written (the destination
  // could not be opened or made) rather than while writing or replacing.
  bool failedToOpen() const { return failedToOpen_; }

 private:
  enum class Kind { kUnchecked, kReplaced, kInPlace, kStandardOutput };

  bool failWith(int code);
  bool failWithReason(const std::string& reason);
  void closeDescriptor();

  std::string name_;        // as the caller gave it
  std::string replaced_;    // the file really replaced (symbolic links followed)
  std::string temporary_;   // while replacing: the temporary file
  Kind kind_ = Kind::kUnchecked;
  mode_t mode_ = 0;         // permissions of the replacement
  bool keepOwner_ = false;  // the replaced file's owner and group, to be kept
  uid_t owner_ = 0;
  gid_t group_ = 0;
  int descriptor_ = -1;
  bool opened_ = false, finished_ = false, replacedDone_ = false;
  bool failedToOpen_ = false;
  std::string error_;
};

// ---- 2. OutputFileSet ---------------------------------------------------------------

// The files one command writes: every destination is checked before the
// command's long work starts, each is written to its temporary file, and
// they replace their destinations only when every one was written, so a
// failure leaves all of them as they were. (Destinations written in place,
// such as devices, take their data as it is written.)
class OutputFileSet {
 public:
  // Adds a destination; the reference stays valid as long as the set.
  OutputFile& add(const std::string& name);
  // check() of every file; on failure `error` is the first failure's line.
  bool checkAll(std::string& error);
  // finish() of every file, then, if all succeeded, replace() of every file;
  // otherwise every temporary file is removed. `error` says what failed.
  bool commitAll(std::string& error);

 private:
  std::deque<OutputFile> files_;
};
