// Everything that talks to the person at the desk goes through this one
// interface: the window has a Qt implementation, tests a scripted one.
#pragma once

#include <string>

namespace zandorik {

// The application title shown by every message box without its own.
inline constexpr const char* kAppTitle = "QMVR";

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A modal box with an OK button; returns when the person closes it.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // A modal Yes/No question, Yes the default button; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
};

}  // namespace zandorik
