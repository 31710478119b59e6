// Drawing text over the scene in the window's bitmap fonts. What the texts
// are and where they go comes from display/status_text.h.
#pragma once

// Multi-line white text (8 x 13 font) whose first line starts at (x, y), in
// window pixels from the bottom left, independent of the camera; placed by
// placeOverlayText, lines 16 pixels apart. Leaves the projection matrix
// selected.
void drawOverlayText(const char* text, float x, float y, float viewWidth, float viewHeight);

// The typed text of a prompt (its first `length` characters) and an
// underscore cursor, in the 9 x 15 font, from the current raster position.
void drawPromptText(const char* text, int length);
