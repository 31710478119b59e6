// LinePrompt: the one-line prompt drawn inside the window, and the folder
// listing that fills its list of offered names.
//
// The prompt edits a caller-owned buffer in one of two modes:
//   - chooser: cycles through a list of names with `+`/`-` (the window maps
//     its up and down arrows to these); typed letters only re-show the name;
//   - text: a free line of at most capacity - 1 printable characters, with
//     Tab completion from the list (each name examined is echoed on
//     standard output).
// Enter calls the action with the terminated text; ESC closes the prompt
// without calling it. Drawing (the text and an underscore cursor) is done by
// the window, from `text` and `length`.
//
// Index
//   1. Name lists and the folder listing
//   2. LinePrompt
#pragma once

#include <functional>
#include <string>

#include "core/sequence.h"

// ---- 1. Name lists and the folder listing -----------------------------------

// Names offered by a prompt (the window's `fileNames`).
using NameList = Sequence<std::string>;

// Every entry of the folder named by `pattern` ("DIR/*", e.g. "./*"),
// directories and "." and ".." included, sorted in byte order so that the
// order does not depend on the file system. If the folder cannot be read,
// writes "Error(ERRNO) opening PATTERN" to standard output and returns an
// empty list.
NameList listFolder(const char* pattern);

// True for names longer than 4 characters whose last 4 characters are exactly
// `extension` (".hrz", ".txt"); the comparison is case-sensitive.
bool hasExtension(const std::string& name, const char* extension);

// Empties `names` and fills it, in listing order, with the entries of the
// folder named by `pattern` that have `extension`.
void collectFileNames(NameList& names, const char* pattern, const char* extension);

// ---- 2. LinePrompt -----------------------------------------------------------

// Called on Enter with the final, terminated text (the prompt's own buffer:
// the action copies what it keeps).
using PromptAction = std::function<void(const char* text)>;

struct LinePrompt {
  char* text = nullptr;            // the edited text (caller's buffer)
  int capacity = 0;                // size of `text` in characters
  int length = 0;                  // characters in use; terminated on Enter
  bool freeText = true;            // text line with completion, else chooser
  const NameList* names = nullptr; // offered names
  int current = 0;                 // name shown by the chooser
  PromptAction action;             // called on Enter

  // Takes over `text` (already terminated) for editing; `length` becomes the
  // length of the text in it.
  void startPrompt(char* text, int capacity, PromptAction action, bool freeText);

  // Starts a chooser over `names` showing the first name; with no names (or
  // freeText) the buffer is emptied and the prompt is a plain text line.
  void startChooser(char* text, int capacity, PromptAction action, const NameList* names,
                    bool freeText);

  // Handles one typed character; true when the prompt has finished (Enter
  // or ESC).
  bool handleKey(unsigned char key);

  // True when the prompt cycles through names rather than editing text.
  bool isChooser() const;

 private:
  bool finish();
  bool cancel();
  bool chooserKey(unsigned char key);
  bool textKey(unsigned char key);
  void complete();
  void show(const std::string& name);
};
