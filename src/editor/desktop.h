// Everything that talks to the person at the desk, or to the desktop around
// the program, goes through this one interface: the window has a Qt
// implementation, tests a scripted one.
#pragma once

#include <optional>
#include <string>

namespace zandorik {

// The application title shown by every message box without its own.
inline constexpr const char* kAppTitle = "QMVR";

// What a file dialog offers: one filter entry and the path to start from.
struct FileDialogRequest {
  std::string filterLabel;  // e.g. "QMVR Data file"
  std::string pattern;      // e.g. "*.QMV"
  std::string startPath;    // the path chosen last; "" at first
  bool operator==(const FileDialogRequest&) const = default;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A modal box with an OK button; returns when the person closes it.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // A modal Yes/No question, Yes the default button; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;

  // The file dialog as a save form: any name may be chosen, an existing
  // file without a warning, a missing one only after the person agrees to
  // create it. Nothing when the person cancels.
  virtual std::optional<std::string> ChooseNewFile(const FileDialogRequest& request) = 0;
  // The file dialog as an open form: existing files only. Nothing when
  // the person cancels.
  virtual std::optional<std::string> ChooseExistingFile(const FileDialogRequest& request) = 0;

  // Hands a web or "mailto:" address to the desktop's opener. Whether it
  // could be opened is not reported.
  virtual void OpenLink(const std::string& target) = 0;

  // Prints an image of the main window, as it is shown now, on the default
  // printer without a dialog. Returns what went wrong, or nothing when the
  // job was handed to the printer.
  virtual std::optional<std::string> PrintMainWindow() = 0;

  // The desktop's clipboard, as plain text (UTF-8). Nothing when it holds
  // no text.
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::optional<std::string> ClipboardText() = 0;
};

}  // namespace zandorik
