// The help screen's text: the mouse, the arrow keys and the key commands,
// one line each, every line ended by a line feed.
#pragma once

const char* helpText();
