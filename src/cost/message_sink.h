#pragma once

#include <string>
#include <vector>

namespace zandorik {

// Receives the messages of a calculation in the order the user must see
// them. The window shows each in a modal box and waits; the batch coster
// collects them.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Message(const std::string& text) = 0;
};

class CollectingSink : public MessageSink {
 public:
  void Message(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

}  // namespace zandorik
