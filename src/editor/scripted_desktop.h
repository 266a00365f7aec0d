// A Desktop for tests: records every box and answers questions from a
// script instead of waiting for a person.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "editor/desktop.h"

namespace zandorik {

class ScriptedDesktop : public Desktop {
 public:
  struct Box {
    enum Kind { Message, Question } kind;
    std::string text;
    std::string title;
    bool operator==(const Box&) const = default;
  };

  void ShowMessage(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::Message, text, title});
  }
  // Answers from `answers`; a question nobody scripted is answered No and
  // counted in `unexpected`.
  bool AskYesNo(const std::string& text, const std::string& title) override {
    boxes.push_back({Box::Question, text, title});
    if (answers.empty()) {
      ++unexpected;
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

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
  int unexpected = 0;
};

}  // namespace zandorik
