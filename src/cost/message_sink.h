#pragma once

#include <string>
#include <vector>

namespace zandorik {

struct Calculation;

// The points at which a calculation has finished fields of the breakdown
// window: the four statistics, the four powers, range and bolts, team, and
// last the points.
enum class CalculationStep { Statistics, Powers, RangeAndBolts, Team, Points };

// Receives the messages of a calculation in the order the user must see
// them. The window shows each in a modal box and waits; the batch coster
// collects them.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Message(const std::string& text) = 0;
  // The fields of `step` are final in `sofar`; later fields are not yet.
  virtual void Reached(CalculationStep /*step*/, const Calculation& /*sofar*/) {}
};

class CollectingSink : public MessageSink {
 public:
  void Message(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

}  // namespace zandorik
