// What the tools' output names say: the format a file's ending asks for, and
// destinations written in place whatever their name.
#pragma once

#include <string>

// The ending of a name, in lower case, from its last dot ("" if none).
std::string extensionOf(const std::string& name);

// A GeoTIFF's name: .tif or .tiff, in any case.
bool isGeoTiffName(const std::string& name);

// A text file's name: .csv, .txt or .xyz, in any case.
bool isTextName(const std::string& name);

// A device or a FIFO that exists, or the tool's own standard output (such as
// /dev/stdout): written in place, whatever its name.
bool isWrittenInPlace(const std::string& name);
