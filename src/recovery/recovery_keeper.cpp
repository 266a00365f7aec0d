#include "recovery/recovery_keeper.h"

namespace zandorik {

RecoveryKeeper::RecoveryKeeper(std::string folder)
    : folder_(std::move(folder)), thread_([this] { Run(); }) {}

RecoveryKeeper::~RecoveryKeeper() {
  Drop();
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void RecoveryKeeper::Adopt(std::unique_ptr<RecoverySlot> slot) {
  const std::lock_guard lock(mutex_);
  slot_ = std::move(slot);
  wanted_ = std::string();  // there, as the slot's own file
  applied_ = asked_;
}

std::chrono::milliseconds RecoveryKeeper::Delay(Clock::time_point now) const {
  const std::lock_guard lock(mutex_);
  if (!lastWrite_ || now - *lastWrite_ >= kInterval) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(*lastWrite_ + kInterval - now);
}

void RecoveryKeeper::Keep(const RecoveredFigure& figure, Clock::time_point now) {
  std::string bytes = EncodeRecovery(figure);
  {
    const std::lock_guard lock(mutex_);
    lastWrite_ = now;
    if (wanted_ == bytes) return;
    wanted_ = std::move(bytes);
    ++asked_;
  }
  wake_.notify_one();
}

void RecoveryKeeper::Drop() {
  {
    const std::lock_guard lock(mutex_);
    if (!wanted_) return;
    wanted_.reset();
    ++asked_;
  }
  wake_.notify_one();
}

bool RecoveryKeeper::Keeping() const {
  const std::lock_guard lock(mutex_);
  return wanted_.has_value();
}

void RecoveryKeeper::Wait() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return applied_ == asked_; });
}

std::string RecoveryKeeper::TakeProblem() {
  const std::lock_guard lock(mutex_);
  if (problemSaid_ || problem_.empty()) return {};
  problemSaid_ = true;  // said once; the keeper goes on trying
  return problem_;
}

std::string RecoveryKeeper::Path() const {
  const std::lock_guard lock(mutex_);
  return slot_ ? slot_->Path() : std::string();
}

// Only the latest wish is carried out: a burst of edits makes one write.
void RecoveryKeeper::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || applied_ != asked_; });
    if (applied_ == asked_) return;  // stopping, and nothing left to do
    const std::uint64_t asked = asked_;
    const std::optional<std::string> wanted = wanted_;
    std::unique_ptr<RecoverySlot> slot = std::move(slot_);
    lock.unlock();
    FileError error;
    std::string problem;
    if (!wanted) {
      if (slot) slot->Remove();
      slot.reset();
    } else {
      if (!slot) slot = RecoverySlot::Create(folder_, &error);
      if (!slot) {
        problem = "The recovery folder " + folder_ + " cannot be used (Err " +
                  std::to_string(error.number) + " : " + error.description + ").";
      } else if (!slot->Write(*wanted, &error)) {
        problem = "The recovery file " + slot->Path() + " cannot be written (Err " +
                  std::to_string(error.number) + " : " + error.description + ").";
      }
    }
    lock.lock();
    slot_ = std::move(slot);
    if (!problem.empty() && problem_.empty()) problem_ = problem;
    applied_ = asked;
    done_.notify_all();
  }
}

}  // namespace zandorik
