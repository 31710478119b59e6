// The state report: what the window's last frame showed, written to a file
// after every frame so that tests can wait on it instead of reading pixels.
//
// The report is written only when the environment variable HALVANE_STATE_FILE
// names a file; without it the window writes nothing. Each report replaces
// the file whole (a temporary file renamed over it), so a reader never sees
// half of one.
//
// The file holds one "KEY VALUE" line per field, in this order:
//   frame N          frames drawn since start, this one included
//   help 0|1         the frame is the help screen alone
//   status TEXT      the status line, empty when it is not shown
//   prompt TEXT      the open prompt's question, empty when none is open
//   prompt_text TEXT the text typed into (or chosen in) the open prompt
//   busy TEXT        the busy message, empty when none is shown
//   flash TEXT       the flash message (greeting, refusal, help, ...) or empty
//   points N         sample points drawn (0 when they are hidden)
//   regions 0|1      region outlines drawn
//   terrain 0|1      terrain drawn
//   dome 0|1         sky dome drawn
//   contours 0|1     contour lines drawn
//   mouse X Y        window position of the last mouse event handled
//   renderer NAME    "immediate", "arrays", or "arrays, terrain immediate" in
//                    the first frame after the terrain or its sky light
//                    changed (app/start_up.h, app/persp_window_drawing.cpp)
// A key and its value are separated by one blank; a text value is escaped so
// that it stays on its line: a backslash as "\\", a line break as "\n" and
// any other byte below 32 as "\xHH".
#pragma once

#include <string>

struct FrameReport {
  long frame = 0;
  bool help = false;
  std::string status;
  std::string prompt;
  std::string promptText;
  std::string busy;
  std::string flash;
  int points = 0;
  bool regions = false;
  bool terrain = false;
  bool dome = false;
  bool contours = false;
  int mouseX = 0, mouseY = 0;
  std::string renderer;
};

// The file the report goes to (HALVANE_STATE_FILE), or null when it is unset
// or empty.
const char* stateReportPath();

// The report as the text of the file.
std::string formatFrameReport(const FrameReport& report);

// Replaces the file with the report; false (and the file as it was) when it
// cannot be written.
bool writeFrameReport(const char* path, const FrameReport& report);
