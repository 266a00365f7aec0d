// Everything that talks to the person at the desk, or to the desktop around
// the program, goes through this interface: the window has a Qt
// implementation, tests a scripted one. The core asks only what is here;
// the calls only the window makes (links, printing, the sheet dialog) are
// in WindowDesktop (app/window_desktop.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

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

// The answers to the question before unsaved work is lost.
enum class SaveChoice { Save, Discard, Cancel };
// The answers to the offer of a figure kept for recovery; Later leaves its
// file for the next start.
enum class RecoverChoice { Recover, Discard, Later };
// The save dialog of an export: its filters ("PDF (*.pdf)", ...) and the
// path to start from.
struct ExportDialogRequest {
  std::vector<std::string> filters;
  std::string startPath;
  bool operator==(const ExportDialogRequest&) const = default;
};
// The name typed or chosen, as it stands, and the filter chosen with it.
struct ExportChoice {
  std::string path;
  int filter = 0;
  bool operator==(const ExportChoice&) const = default;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A modal box with an OK button; returns when the person closes it.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // A modal Yes/No question, Yes the default button; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  // A modal question with the buttons "&Save" (the default), "&Discard"
  // and "Cancel"; Escape and closing the box answer Cancel.
  virtual SaveChoice AskToSave(const std::string& text, const std::string& title) = 0;
  // A modal question with the buttons "&Recover" (the default) and
  // "&Discard"; Escape and closing the box answer Later.
  virtual RecoverChoice AskToRecover(const std::string& text, const std::string& title) = 0;

  // The file dialog as a save form: any name may be chosen, an existing
  // file without a warning, a missing one only after the person agrees to
  // create it. Nothing when the person cancels.
  virtual std::optional<std::string> ChooseNewFile(const FileDialogRequest& request) = 0;
  // The file dialog as an open form: existing files only. Nothing when
  // the person cancels.
  virtual std::optional<std::string> ChooseExistingFile(const FileDialogRequest& request) = 0;

  // The save dialog of an export. It neither adds an extension nor asks
  // before a file is replaced: the caller does both. Nothing on cancel.
  virtual std::optional<ExportChoice> ChooseExportFile(const ExportDialogRequest& request) = 0;
  // The desktop's clipboard, as plain text (UTF-8). Nothing when it holds
  // no text.
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::optional<std::string> ClipboardText() = 0;
};

}  // namespace zandorik
