#include "tools/progress_bar.h"

#include <cmath>

std::string progressText(const std::string& what, int done, int total, double elapsedSeconds,
                         int barWidth) {
  std::string text;
  if (barWidth > 0) {
    int filled = total > 0 ? int(double(barWidth) * done / total) : barWidth;
    text = "[" + std::string(size_t(filled), '#') + std::string(size_t(barWidth - filled), '.') + "] ";
  }
  int percent = total > 0 ? int(100.0 * done / total) : 100;
  text += std::to_string(done) + "/" + std::to_string(total) + " " + what + "  " + std::to_string(percent) + "%";
  if (done > 0 && done < total) {
    long left = std::lround(elapsedSeconds * (total - done) / done);
    char buffer[64];
    if (left < 60)
      std::snprintf(buffer, sizeof buffer, "  about %ld s left", left);
    else
      std::snprintf(buffer, sizeof buffer, "  about %ld min %02ld s left", left / 60, left % 60);
    text += buffer;
  }
  return text;
}

ProgressBar::ProgressBar(std::FILE* out, std::string prefix, std::string what, bool onTerminal)
    : out_(out), prefix_(std::move(prefix)), what_(std::move(what)), onTerminal_(onTerminal) {}

void ProgressBar::update(int done, int total) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  if (onTerminal_) {
    // \r returns to the line's start; \033[K clears what a longer line left.
    std::fprintf(out_, "\r%s%s\033[K", prefix_.c_str(), progressText(what_, done, total, elapsed, 30).c_str());
    drawn_ = true;
  } else {
    int tenth = total > 0 ? done * 10 / total : 10;
    if (tenth == lastTenth_) return;
    lastTenth_ = tenth;
    std::fprintf(out_, "%s%s\n", prefix_.c_str(), progressText(what_, done, total, elapsed, 0).c_str());
  }
  std::fflush(out_);
}

void ProgressBar::finish() {
  if (onTerminal_ && drawn_) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  drawn_ = false;
}
