// Writing files so that they are complete or untouched.
//
// Index
//   1. Names: following symbolic links, the folder of a file
//   2. The temporary file
//   3. OutputFile
//   4. OutputFileSet
#include "core/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <utility>

// ---- 1. Names ---------------------------------------------------------------------

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

namespace {

// The name a chain of symbolic links ends in (the name itself if it is no
// link); the end need not exist.
std::string followLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string target(size_t(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), &target[0], target.size());
    if (length < 0 || size_t(length) >= target.size()) return path;
    target.resize(size_t(length));
    path = target[0] == '/' ? target : folderOf(path) + "/" + target;
  }
  return path;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// ---- 2. The temporary file -------------------------------------------------------------

// Creates a new file ".halvane-XXXXXX" in `folder`, exclusively (an existing
// file or link of that name is never opened), with the permissions the
// file-creation mask allows. Returns its descriptor, or -1 with errno set.
int createTemporary(const std::string& folder, std::string& name) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  const std::string start = folder + (folder.back() == '/' ? "" : "/") + ".halvane-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = start;
    for (int i = 0; i < 6; ++i) candidate += kLetters[random() % 62];
    const int descriptor =
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      name = candidate;
      return descriptor;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

// ---- 3. OutputFile ----------------------------------------------------------------------

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {}

OutputFile OutputFile::standardOutput() {
  OutputFile file("standard output");
  file.kind_ = Kind::kStandardOutput;
  return file;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : name_(std::move(other.name_)),
      replaced_(std::move(other.replaced_)),
      temporary_(std::move(other.temporary_)),
      kind_(other.kind_),
      mode_(other.mode_),
      keepOwner_(other.keepOwner_),
      owner_(other.owner_),
      group_(other.group_),
      descriptor_(other.descriptor_),
      opened_(other.opened_),
      finished_(other.finished_),
      replacedDone_(other.replacedDone_),
      failedToOpen_(other.failedToOpen_),
      error_(std::move(other.error_)) {
  other.descriptor_ = -1;
  other.temporary_.clear();
}

OutputFile::~OutputFile() { discard(); }

bool OutputFile::failWithReason(const std::string& reason) {
  if (error_.empty()) error_ = "cannot write " + name_ + ": " + reason;
  return false;
}

bool OutputFile::failWith(int code) { return failWithReason(std::strerror(code)); }

bool OutputFile::fail(const std::string& reason) {
  failWithReason(reason);
  discard();
  return false;
}

void OutputFile::closeDescriptor() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

bool OutputFile::check() {
  if (kind_ != Kind::kUnchecked || !error_.empty()) return error_.empty();
  failedToOpen_ = true;
  if (name_.empty()) return failWith(ENOENT);
  struct stat status;
  if (::stat(name_.c_str(), &status) == 0) {
    struct stat out;
    if (S_ISDIR(status.st_mode)) return failWith(EISDIR);
    if (::fstat(STDOUT_FILENO, &out) == 0 && sameFile(out, status)) {
      kind_ = Kind::kStandardOutput;
      failedToOpen_ = false;
      return true;
    }
    if (::access(name_.c_str(), W_OK) != 0) return failWith(errno);
    replaced_ = followLinks(name_);
    struct stat real;
    if (!S_ISREG(status.st_mode) || ::lstat(replaced_.c_str(), &real) != 0 || !sameFile(real, status)) {
      // Not a regular file, or one reached by no name we could rename over
      // (a process's file descriptor): written where it is.
      kind_ = Kind::kInPlace;
      failedToOpen_ = false;
      return true;
    }
    mode_ = status.st_mode & 07777;
    keepOwner_ = true;
    owner_ = status.st_uid;
    group_ = status.st_gid;
  } else if (errno == ENOENT) {
    replaced_ = followLinks(name_);
  } else {
    return failWith(errno);
  }
  // A temporary file made and removed again: the folder takes new files.
  std::string probe;
  const int descriptor = createTemporary(folderOf(replaced_), probe);
  if (descriptor < 0) return failWith(errno);
  ::close(descriptor);
  ::unlink(probe.c_str());
  kind_ = Kind::kReplaced;
  failedToOpen_ = false;
  return true;
}

bool OutputFile::open() {
  if (opened_ || !error_.empty()) return error_.empty();
  if (!check()) return false;
  opened_ = true;
  switch (kind_) {
    case Kind::kStandardOutput:
      descriptor_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
      break;
    case Kind::kInPlace:
      descriptor_ = ::open(name_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
      break;
    case Kind::kReplaced:
      descriptor_ = createTemporary(folderOf(replaced_), temporary_);
      if (descriptor_ >= 0 && keepOwner_) {
        // Only the superuser may give a file away; a failure keeps our own.
        if (owner_ != ::geteuid() || group_ != ::getegid())
          if (::fchown(descriptor_, owner_, group_) != 0) {
          }
        if (::fchmod(descriptor_, mode_) != 0) {
        }
      }
      break;
    case Kind::kUnchecked:
      break;
  }
  if (descriptor_ < 0) {
    failedToOpen_ = true;
    return failWith(errno);
  }
  return true;
}

bool OutputFile::write(const void* data, size_t size) {
  if (!open()) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(descriptor_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return failWith(errno);
    if (written == 0) return failWith(EIO);
    bytes += written;
    size -= size_t(written);
  }
  return true;
}

bool OutputFile::finish() {
  if (finished_) return error_.empty();
  open();  // nothing written yet: an empty file
  finished_ = true;
  if (error_.empty() && kind_ == Kind::kReplaced && ::fsync(descriptor_) != 0) failWith(errno);
  if (descriptor_ >= 0) {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0 && errno != EINTR) failWith(errno);
  }
  if (!error_.empty()) {
    discard();
    return false;
  }
  return true;
}

bool OutputFile::replace() {
  if (!finish()) return false;
  if (kind_ != Kind::kReplaced || replacedDone_) return true;
  if (::rename(temporary_.c_str(), replaced_.c_str()) != 0) {
    failWith(errno);
    discard();
    return false;
  }
  replacedDone_ = true;
  temporary_.clear();
  // The rename itself reaches the disk with its folder.
  const int folder = ::open(folderOf(replaced_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

bool OutputFile::commit() { return finish() && replace(); }

void OutputFile::discard() {
  closeDescriptor();
  if (!temporary_.empty() && !replacedDone_) ::unlink(temporary_.c_str());
  temporary_.clear();
}

// ---- 4. OutputFileSet ---------------------------------------------------------------------

OutputFile& OutputFileSet::add(const std::string& name) {
  files_.emplace_back(name);
  return files_.back();
}

bool OutputFileSet::checkAll(std::string& error) {
  for (OutputFile& file : files_)
    if (!file.check()) {
      error = file.error();
      return false;
    }
  return true;
}

bool OutputFileSet::commitAll(std::string& error) {
  bool written = true;
  for (OutputFile& file : files_)
    if (!file.finish() && written) {
      error = file.error();
      written = false;
    }
  if (!written) {
    for (OutputFile& file : files_) file.discard();
    return false;
  }
  // Renames cannot fail for want of room; should one fail all the same, the
  // files after it are given up rather than mixed with it.
  bool replaced = true;
  for (OutputFile& file : files_) {
    if (!replaced) {
      file.discard();
    } else if (!file.replace()) {
      error = file.error();
      replaced = false;
    }
  }
  return replaced;
}
