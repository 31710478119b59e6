#include "app/state_report.h"

#include <cstdio>
#include <cstdlib>

#include "core/output_file.h"

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 32) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

const char* stateReportPath() {
  const char* path = std::getenv("HALVANE_STATE_FILE");
  return path != nullptr && path[0] != '\0' ? path : nullptr;
}

std::string formatFrameReport(const FrameReport& r) {
  auto flag = [](bool on) { return on ? "1" : "0"; };
  std::string text;
  text += "frame " + std::to_string(r.frame) + "\n";
  text += std::string("help ") + flag(r.help) + "\n";
  text += "status " + escaped(r.status) + "\n";
  text += "prompt " + escaped(r.prompt) + "\n";
  text += "prompt_text " + escaped(r.promptText) + "\n";
  text += "busy " + escaped(r.busy) + "\n";
  text += "flash " + escaped(r.flash) + "\n";
  text += "points " + std::to_string(r.points) + "\n";
  text += std::string("regions ") + flag(r.regions) + "\n";
  text += std::string("terrain ") + flag(r.terrain) + "\n";
  text += std::string("dome ") + flag(r.dome) + "\n";
  text += std::string("contours ") + flag(r.contours) + "\n";
  text += "mouse " + std::to_string(r.mouseX) + " " + std::to_string(r.mouseY) + "\n";
  text += "renderer " + escaped(r.renderer) + "\n";
  return text;
}

bool writeFrameReport(const char* path, const FrameReport& report) {
  OutputFile out(path);
  return out.open() && out.write(formatFrameReport(report)) && out.commit();
}
