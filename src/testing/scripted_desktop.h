// A Desktop for tests: records every box and dialog, and answers from a
// script instead of waiting for a person. The window's tests use
// ScriptedWindowDesktop (testing/window/scripted_window_desktop.h), which
// records links and prints too.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/desktop.h"

namespace zandorik {

class ScriptedDesktop : public virtual Desktop {
 public:
  struct Box {
    enum Kind { Message, Question, SaveQuestion, RecoverQuestion } kind;
    std::string text;
    std::string title;
    bool operator==(const Box&) const = default;
  };
  struct Dialog {
    enum Kind { New, Open } kind;
    FileDialogRequest request;
    bool operator==(const Dialog&) const = default;
  };

  void ShowMessage(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::Message, text, title});
    if (onMessage) onMessage(text);
  }
  // Answers from `answers`; a question nobody scripted is answered No and
  // counted in `unexpected`.
  bool AskYesNo(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::Question, text, title});
    return Next(answers, false);
  }
  // Answers from `saveChoices`; a question nobody scripted is answered
  // Cancel, which loses nothing, and counted in `unexpected`.
  SaveChoice AskToSave(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::SaveQuestion, text, title});
    return Next(saveChoices, SaveChoice::Cancel);
  }
  // Answers from `recoverChoices`; unscripted, Later, which loses nothing,
  // and counted in `unexpected`.
  RecoverChoice AskToRecover(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::RecoverQuestion, text, title});
    return Next(recoverChoices, RecoverChoice::Later);
  }
  // Answers from `files` (nothing stands for cancel); a dialog nobody
  // scripted is cancelled and counted in `unexpected`.
  std::optional<std::string> ChooseNewFile(const FileDialogRequest& request) override {
    dialogs.push_back({Dialog::New, request});
    return Next(files, std::optional<std::string>());
  }
  std::optional<std::string> ChooseExistingFile(const FileDialogRequest& request) override {
    dialogs.push_back({Dialog::Open, request});
    return Next(files, std::optional<std::string>());
  }
  // Answers from `exportFiles` (nothing for cancel); unscripted, cancelled
  // and counted in `unexpected`.
  std::optional<ExportChoice> ChooseExportFile(const ExportDialogRequest& request) override {
    exportDialogs.push_back(request);
    return Next(exportFiles, std::optional<ExportChoice>());
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::optional<std::string> ClipboardText() override { return clipboard; }

  // The texts of the boxes shown so far, and forget them.
  std::vector<std::string> TakeTexts() {
    std::vector<std::string> texts;
    for (const Box& box : boxes)
      texts.push_back(box.text);
    boxes.clear();
    return texts;
  }

  std::vector<Box> boxes;
  std::deque<bool> answers;
  std::deque<SaveChoice> saveChoices;
  std::deque<RecoverChoice> recoverChoices;
  std::vector<Dialog> dialogs;
  std::deque<std::optional<std::string>> files;
  std::vector<ExportDialogRequest> exportDialogs;
  std::deque<std::optional<ExportChoice>> exportFiles;
  std::optional<std::string> clipboard;
  int unexpected = 0;
  // Called with each message as it is shown, while the caller waits.
  std::function<void(const std::string&)> onMessage;

 protected:
  // The next answer of `script`; `fallback`, counted in `unexpected`, when
  // nobody scripted one.
  template <typename T>
  T Next(std::deque<T>& script, T fallback) {
    if (script.empty()) {
      ++unexpected;
      return fallback;
    }
    T answer = script.front();
    script.pop_front();
    return answer;
  }
};

}  // namespace zandorik
