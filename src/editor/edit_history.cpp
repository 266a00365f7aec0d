#include "editor/edit_history.h"

#include <algorithm>

namespace zandorik {

EditHistory::EditHistory(Images start, std::size_t figureParts, std::size_t limit)
    : shown_(std::move(start)),
      figureParts_(figureParts),
      limit_(std::max<std::size_t>(limit, 1)) {}

bool EditHistory::Step::Holds(std::size_t id) const {
  bool held = false;
  Unpack(packed, [&](std::uint16_t part, std::string_view) { held = held || part == id; });
  return held;
}

void EditHistory::Pack(std::string& packed, std::size_t id, std::string_view image) {
  const auto part = static_cast<std::uint16_t>(id);
  const auto size = static_cast<std::uint32_t>(image.size());
  packed.append(reinterpret_cast<const char*>(&part), sizeof part);
  packed.append(reinterpret_cast<const char*>(&size), sizeof size);
  packed.append(image);
}

void EditHistory::FoldInto(Step& step, std::size_t id) {
  if (!step.Holds(id)) Pack(step.packed, id, shown_[id]);
}

void EditHistory::Record(const Images& now, int key) {
  bool figure = false;
  bool any = false;
  for (std::size_t id = 0; id < now.size(); ++id) {
    if (now[id] == shown_[id]) continue;
    any = true;
    figure = figure || id < figureParts_;
  }
  if (!any) return;

  Step* into = nullptr;
  if (figure) {
    if (open_ && key != kNoKey && undo_.back().key == key) {
      into = &undo_.back();
    } else {
      redo_.clear();
      if (undo_.size() == limit_) undo_.pop_front();
      undo_.push_back(Step{{}, key});
      into = &undo_.back();
    }
  } else if (!undo_.empty()) {
    into = &undo_.back();
  }
  open_ = figure && key != kNoKey;

  for (std::size_t id = 0; id < now.size(); ++id) {
    if (now[id] == shown_[id]) continue;
    if (into) FoldInto(*into, id);
    shown_[id] = now[id];
  }
  if (into) into->packed.shrink_to_fit();
}

}  // namespace zandorik
