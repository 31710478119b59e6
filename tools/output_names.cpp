#include "tools/output_names.h"

#include <sys/stat.h>

#include <cctype>

std::string extensionOf(const std::string& name) {
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string lower;
  for (size_t k = dot; k < name.size(); ++k) lower += char(std::tolower(static_cast<unsigned char>(name[k])));
  return lower;
}

bool isGeoTiffName(const std::string& name) {
  const std::string extension = extensionOf(name);
  return extension == ".tif" || extension == ".tiff";
}

bool isTextName(const std::string& name) {
  const std::string extension = extensionOf(name);
  return extension == ".csv" || extension == ".txt" || extension == ".xyz";
}

bool isWrittenInPlace(const std::string& name) {
  struct stat info, standardOutput;
  if (::stat(name.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  if (!S_ISREG(info.st_mode)) return true;
  return ::fstat(1, &standardOutput) == 0 && info.st_dev == standardOutput.st_dev &&
         info.st_ino == standardOutput.st_ino;
}
