// Keeps a window's recovery file (recovery_file.h) in step with its figure
// without holding up the person: the bytes are made on the caller's
// thread (a few microseconds) and written, flushed and renamed into place
// on a thread of the keeper's own, which only ever writes the latest.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "recovery/recovery_file.h"

namespace zandorik {

class RecoveryKeeper {
 public:
  using Clock = std::chrono::steady_clock;
  // A recovery file is written at most this often.
  static constexpr std::chrono::milliseconds kInterval{2000};

  explicit RecoveryKeeper(std::string folder);
  // The normal end: the recovery file goes.
  ~RecoveryKeeper();
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  const std::string& Folder() const { return folder_; }
  // Takes over the slot of a recovered figure, whose file then stands for
  // this window's figure until it is written again or removed.
  void Adopt(std::unique_ptr<RecoverySlot> slot);

  // How long from `now` until the next write may be made.
  std::chrono::milliseconds Delay(Clock::time_point now = Clock::now()) const;
  // The figure, with unsaved changes, is to be kept.
  void Keep(const RecoveredFigure& figure, Clock::time_point now = Clock::now());
  // The figure has no unsaved changes now: the recovery file goes.
  void Drop();
  // Whether a recovery file is kept (or about to be).
  bool Keeping() const;
  // Waits until what was asked is on the disk (tests, benchmarks).
  void Wait();
  // The first failure to write, once; "" when there was none since.
  std::string TakeProblem();
  // The recovery file's path, once written; "" before.
  std::string Path() const;

 private:
  void Run();

  const std::string folder_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::optional<std::string> wanted_;  // the bytes to be there, or none
  std::uint64_t asked_ = 0;            // counts what was asked
  std::uint64_t applied_ = 0;          // and what the thread has done
  bool stopping_ = false;
  std::string problem_;
  bool problemSaid_ = false;
  std::unique_ptr<RecoverySlot> slot_;  // the thread's, after it starts
  std::optional<Clock::time_point> lastWrite_;
  std::thread thread_;
};

}  // namespace zandorik
