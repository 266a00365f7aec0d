// "&Copy Figure" and "&Paste Figure": the figure on the screen travels
// through the desktop's clipboard as a one-figure document of the figures
// format (docs/figure-format.md), so that it can be sent as a message,
// pasted into another window or into a file kept under version control.
// "Copy Share Code" puts the figure there as one short line of text, which
// "&Paste Figure" takes back too.
#pragma once

#include <string>
#include <string_view>

#include "editor/desktop.h"
#include "editor/dial_editor.h"

namespace zandorik {

inline constexpr const char* kNothingCopied = "Nothing was copied.";
inline constexpr const char* kScreenAsItWas = "The screen is as it was.";

// A figure as one line of text and back (src/share makes the codes).
class FigureCodes {
 public:
  virtual ~FigureCodes() = default;
  virtual std::string Code(const FigureRecord& figure) const = 0;
  // Whether the text is meant as a code (rather than as a document).
  virtual bool IsCode(std::string_view text) const = 0;
  // Whether a code's beginning stands anywhere in the text.
  virtual bool Mentions(std::string_view text) const = 0;
  // The figure of a code; else false, with why in `why`.
  virtual bool Read(std::string_view text, FigureRecord& figure, std::string* why) const = 0;
};

class FigureClipboard {
 public:
  // Without `codes`, only documents travel.
  FigureClipboard(Desktop& desktop, DialEditor& editor, const FigureCodes* codes = nullptr)
      : desktop_(desktop), editor_(editor), codes_(codes) {}

  // The figure on the screen onto the clipboard, with the refusals of
  // "&Save Record": a screen that no record can hold is not copied. True
  // when it was copied.
  bool MenuCopyFigure_Click();
  // The figure's code onto the clipboard, refused as "&Copy Figure" is.
  bool MenuCopyShareCode_Click();
  // A one-figure document or a code from the clipboard onto the screen,
  // name included, priced as loading does. Anything else is refused with
  // the problems it has (a code among other words is "not a figure code",
  // as the command line says; codes on several lines are counted), and
  // the screen stays as it was. True when pasted.
  bool MenuPasteFigure_Click();
  // The same for a text from elsewhere (dropped on the window); `source`
  // names it in the messages, as in "The dropped text holds ...".
  bool PasteFigureText(const std::string& text, const std::string& source);

 private:
  // The screen as a record; else false, and the refusal is shown.
  bool ScreenRecord(FigureRecord& record);

  Desktop& desktop_;
  DialEditor& editor_;
  const FigureCodes* codes_;
};

}  // namespace zandorik
