// The undo and redo history of the editor. The editor's state is cut into
// numbered parts (a square, the figure's fields, the current square ...),
// each written as a short byte image. After every action the editor hands
// in the images of all parts; the history keeps, per step, only the images
// that the step changed, as they were before it. Undoing a step swaps those
// images with the present ones, so the same step then holds what redo puts
// back. Nothing here knows what the parts mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

class EditHistory {
 public:
  using Images = std::vector<std::string>;
  // No key: the step can take no later action into itself.
  static constexpr int kNoKey = -1;

  // `start`: the images of the state before any action. Parts below
  // `figureParts` are the figure; a change of those alone makes a step.
  EditHistory(Images start, std::size_t figureParts, std::size_t limit);

  // After an action, with the images of every part now. A change of the
  // figure makes a new step, and clears what could be redone, unless the
  // last step was made by an action of the same `key` with nothing between:
  // then it grows (typing into one square is one step). A change of other
  // parts only (the current square, the points) makes no step; it is
  // folded into the last step, so that undoing that step brings them back.
  void Record(const Images& now, int key);

  // Undoes or redoes one step: `put(id, image)` is called for every part
  // it sets. False when there is nothing to undo or redo.
  template <typename Put>
  bool Undo(Put put) {
    return Move(undo_, redo_, put);
  }
  template <typename Put>
  bool Redo(Put put) {
    return Move(redo_, undo_, put);
  }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t UndoCount() const { return undo_.size(); }
  std::size_t RedoCount() const { return redo_.size(); }
  std::size_t Limit() const { return limit_; }
  // The bytes of images held for undo and redo.
  std::size_t ImageBytes() const {
    std::size_t bytes = 0;
    for (const Step& step : undo_)
      bytes += step.packed.capacity();
    for (const Step& step : redo_)
      bytes += step.packed.capacity();
    return bytes;
  }

 private:
  // A step's images packed in one buffer, each as its part's number, its
  // length and its bytes: a whole figure loaded takes about 1 KB.
  struct Step {
    std::string packed;
    int key = kNoKey;
    bool Holds(std::size_t id) const;
  };
  static void Pack(std::string& packed, std::size_t id, std::string_view image);
  template <typename Visit>
  static void Unpack(const std::string& packed, Visit visit) {
    for (std::size_t at = 0; at < packed.size();) {
      std::uint16_t id = 0;
      std::uint32_t size = 0;
      std::memcpy(&id, packed.data() + at, sizeof id);
      std::memcpy(&size, packed.data() + at + sizeof id, sizeof size);
      at += sizeof id + sizeof size;
      visit(id, std::string_view(packed).substr(at, size));
      at += size;
    }
  }

  template <typename Stack, typename Other, typename Put>
  bool Move(Stack& from, Other& to, Put put) {
    if (from.empty()) return false;
    Step step = std::move(from.back());
    from.pop_back();
    std::string swapped;
    swapped.reserve(step.packed.size());
    Unpack(step.packed, [&](std::uint16_t id, std::string_view image) {
      std::string& shown = shown_[id];
      Pack(swapped, id, shown);
      shown.assign(image);
      put(id, shown);
    });
    step.packed = std::move(swapped);
    to.push_back(std::move(step));
    open_ = false;
    return true;
  }
  void FoldInto(Step& step, std::size_t id);

  Images shown_;  // the images as of the last action, undo or redo
  std::size_t figureParts_;
  std::size_t limit_;
  std::deque<Step> undo_;
  std::vector<Step> redo_;
  bool open_ = false;  // the last step may still grow
};

}  // namespace zandorik
