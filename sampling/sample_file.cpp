// The sample point file: its text, and writing it safely.
//
// Index
//   1. The text
//   2. Writing a file so that it is complete or untouched
//   3. The window's command
#include "sampling/sample_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/angles.h"
#include "sampling/file_directions.h"

// ---- 1. The text ------------------------------------------------------------------

namespace {

// The sky as the file names it. POINT is written "POINTT" here (and only here),
// as the programs that read these files expect.
std::string skyWord(const Sky& sky) {
  switch (sky.distribution) {
    case SkyDistribution::UNIFORM: return "UNIFORM";
    case SkyDistribution::OVERCAST: return "OVERCAST";
    case SkyDistribution::CLEAR: return "CLEAR";
    case SkyDistribution::SHARP: return "SHARP";
    case SkyDistribution::POINT: return "POINTT";
    case SkyDistribution::COSINE: return "COSINE";
    case SkyDistribution::TURBID: return "TURBID";
    case SkyDistribution::GENERAL: return "GENERAL TYPE " + std::to_string(sky.generalType + 1);
  }
  return "ERROR";
}

}  // namespace

std::string formatSamplePoints(const Sky& sky, const Sequence<SamplePoint>& points, int decimals) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "distribution:  " << skyWord(sky) << '\n'
       << "sun elevation: " << displayedElevation(sky.sunElevation()) << '\n'
       << "sun azimuth:   " << displayedBearing(sky.sunAzimuth()) << '\n'
       << "sample points: " << points.numElements << '\n'
       << '\n'
       << "Format of sample points: azimuth,elevation,weight (weights sum to 1.0)\n"
       << '\n';
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& point = points.element(i);
    if (decimals <= 0) {
      text << displayedBearing(point.azimuth) << ',' << displayedElevation(point.elevation) << ','
           << point.weight << '\n';
      continue;
    }
    double bearing, elevation;
    fileAngles(point, decimals, bearing, elevation);
    text << std::fixed << std::setprecision(decimals) << bearing << ',' << elevation << ','
         << std::defaultfloat << std::setprecision(6) << point.weight << '\n';
  }
  return text.str();
}

bool writeSamplePointsTo(std::ostream& out, const std::string& text) {
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

// ---- 2. Writing a file so that it is complete or untouched -------------------------------

namespace {

void reportFileError(const char* what, const std::string& fileName) {
  std::fprintf(stderr, "Could not %s file \"%s\".\n", what, fileName.c_str());
  std::fflush(stderr);
}

bool writeAll(int descriptor, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(descriptor, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// The file that writing to path really changes: the target of a symbolic link
// rather than the link.
std::string resolvedTarget(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string target = real;
      std::free(real);
      return target;
    }
  }
  return path;
}

// Permissions for a new file: what the process's file-creation mask allows.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Devices and pipes cannot be replaced; they are written directly.
bool writeInPlace(const std::string& target, const std::string& fileName, const std::string& text) {
  const int descriptor = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    reportFileError("open", fileName);
    return false;
  }
  const bool written = writeAll(descriptor, text);
  const bool closed = ::close(descriptor) == 0;
  if (!written || !closed) {
    reportFileError("write", fileName);
    return false;
  }
  return true;
}

}  // namespace

bool recordSamplePoints(const std::string& fileName, const std::string& text) {
  const std::string target = resolvedTarget(fileName);

  struct stat status;
  mode_t mode = newFileMode();
  if (::stat(target.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) {
      reportFileError("open", fileName);
      return false;
    }
    if (!S_ISREG(status.st_mode)) return writeInPlace(target, fileName, text);
    mode = status.st_mode & 07777;
  }

  // The temporary file sits next to the target, so that the rename cannot
  // cross file systems.
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = folder + "." + base + ".XXXXXX";
  const int descriptor = ::mkostemp(&temporary[0], O_CLOEXEC);
  if (descriptor < 0) {
    reportFileError("open", fileName);
    return false;
  }
  // The permissions an ordinary new file (or the replaced one) would have;
  // failing that, the temporary file's own private ones are kept.
  if (::fchmod(descriptor, mode) != 0) {
  }
  bool written = writeAll(descriptor, text) && ::fsync(descriptor) == 0;
  written = ::close(descriptor) == 0 && written;
  written = written && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    reportFileError("write", fileName);
    return false;
  }
  return true;
}

// ---- 3. The window's command ------------------------------------------------------------

std::string writeSamplePoints(const std::string& fileName, const Sky& sky,
                              const Sequence<SamplePoint>& points) {
  if (fileName.empty()) return "No sample points were recorded.";
  if (!recordSamplePoints(fileName, formatSamplePoints(sky, points)))
    return "Could not record the sample points in `" + fileName + "'.";
  return "Sample points are recorded in `" + fileName + "'.";
}
