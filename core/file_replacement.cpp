#include "core/file_replacement.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

FileReplacement::FileReplacement(const std::string& fileName)
    : target_(fileName), temporary_(fileName + ".tmp" + std::to_string(getpid())) {
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (!file_) openError_ = "cannot write " + target_ + ": " + std::strerror(errno);
}

FileReplacement::~FileReplacement() {
  if (finished_) return;
  if (file_) std::fclose(file_);
  std::remove(temporary_.c_str());
}

bool FileReplacement::commit(bool written, std::string& error) {
  finished_ = true;
  int code = errno;
  bool ok = written;
  if (file_ && std::fclose(file_) != 0 && ok) {
    ok = false;
    code = errno;
  }
  file_ = nullptr;
  if (ok && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    std::remove(temporary_.c_str());
    if (error.empty()) error = "cannot write " + target_ + ": " + std::strerror(code);
  }
  return ok;
}
