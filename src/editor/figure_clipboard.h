// "&Copy Figure" and "&Paste Figure": the figure on the screen travels
// through the desktop's clipboard as a one-figure document of the figures
// format (docs/figure-format.md), so that it can be sent as a message,
// pasted into another window or into a file kept under version control.
#pragma once

#include <string>

#include "editor/desktop.h"
#include "editor/dial_editor.h"

namespace zandorik {

inline constexpr const char* kNothingCopied = "Nothing was copied.";
inline constexpr const char* kScreenAsItWas = "The screen is as it was.";

class FigureClipboard {
 public:
  FigureClipboard(Desktop& desktop, DialEditor& editor) : desktop_(desktop), editor_(editor) {}

  // The figure on the screen onto the clipboard, with the refusals of
  // "&Save Record": a screen that no record can hold is not copied. True
  // when it was copied.
  bool MenuCopyFigure_Click();
  // A one-figure document from the clipboard onto the screen, name
  // included, priced as loading does. Anything else is refused with the
  // problems it has, and the screen stays as it was. True when pasted.
  bool MenuPasteFigure_Click();

 private:
  Desktop& desktop_;
  DialEditor& editor_;
};

}  // namespace zandorik
