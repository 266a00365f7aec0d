// Recovery files: while the figure on a window's screen has changes that
// are not saved, its record and the path of its data file are kept in a
// small file of its own under the state folder
// ($XDG_STATE_HOME/zandorik-dial/, else ~/.local/state/zandorik-dial/),
// so that a figure being edited when the program is killed comes back on
// the next start (docs/desktop-habits.md).
//
// Each window keeps its own file, NAME.recovery, and holds a lock on
// NAME.lock beside it for as long as it owns the file. A recovery file
// whose lock nobody holds was left by a window that did not end normally.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/figure_record.h"
#include "store/system_calls.h"

namespace zandorik {

// What a recovery file holds.
struct RecoveredFigure {
  std::string dataFile;  // "" when no data file was in use; bytes as given
  RecordBytes record{};
  bool operator==(const RecoveredFigure&) const = default;

  // The figure's name without its padding, for the question.
  std::string Name() const;
};

// The bytes of a recovery file, and back. Decoding checks the whole file
// (its heading, lengths and checksum); false with why in `why`.
std::string EncodeRecovery(const RecoveredFigure& figure);
bool DecodeRecovery(std::string_view bytes, RecoveredFigure& figure, std::string* why);

// The folder of recovery files: $XDG_STATE_HOME/zandorik-dial when that is
// an absolute path, else $HOME/.local/state/zandorik-dial; "" without a
// home.
std::string DefaultRecoveryFolder();

// One recovery file and its lock, held while this object lives.
class RecoverySlot {
 public:
  // A new slot of its own name in `folder` (made if missing), locked.
  static std::unique_ptr<RecoverySlot> Create(const std::string& folder, FileError* error);
  // The slot of a recovery file that no running window owns, now locked
  // by this one; nothing when another window owns it or it has gone.
  static std::unique_ptr<RecoverySlot> Claim(const std::string& recoveryPath);
  ~RecoverySlot();
  RecoverySlot(const RecoverySlot&) = delete;
  RecoverySlot& operator=(const RecoverySlot&) = delete;

  const std::string& Path() const { return path_; }
  // Whether the recovery file is there.
  bool Exists() const;
  bool Read(RecoveredFigure& figure, std::string* why) const;
  // Replaces the recovery file whole with `bytes` (EncodeRecovery): a
  // temporary file, flushed, renamed.
  bool Write(std::string_view bytes, FileError* error);
  // The recovery file and the lock go; the slot is done with.
  void Remove();
  // An unreadable recovery file is renamed, never deleted: NAME.unreadable
  // (NAME.unreadable.2, ... when taken). The new path; "" on failure, with
  // the error in `error`.
  std::string SetAside(FileError* error);
  // Lets go of the lock and leaves the files as they are.
  void Release();

 private:
  RecoverySlot(std::string path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}
  std::string LockPath() const;
  std::string path_;
  int lockFd_ = -1;
};

// The recovery files in `folder` (sorted by name), owned or not.
std::vector<std::string> RecoveryFilesIn(const std::string& folder);

}  // namespace zandorik
