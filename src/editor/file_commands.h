// The commands of the data file: New and Open choose it, picking a name
// loads a figure, Save and Delete write one record. Every problem is shown
// through the desktop, and no failure leaves a stored figure changed.
//
// Another window or program may use the same file: each command holds the
// file's lock (shared to read, exclusive to write) for its whole step, and
// never while a message is shown.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/desktop.h"
#include "editor/dial_editor.h"
#include "store/data_file.h"
#include "store/journal.h"

namespace zandorik {

inline constexpr const char* kNoFileCreated = "No file created.";
inline constexpr const char* kOpenFileFirst = "Please open or create a file first.";
inline constexpr const char* kRecordSaved = "Record saved.";
inline constexpr const char* kRecordDeleted = "Record deleted.";

// Fills `record` from the screen as "&Save Record" does (Deleted 0). False
// when a record cannot hold the whole figure, with `refusal` one line for
// each reason, each ending in a line feed.
bool StoreFigureInRecord(const FigureScreen& screen, FigureRecord& record, std::string* refusal);

// The question before a figure with unsaved changes is closed or replaced.
std::string SaveQuestion(const std::string& name);

class FileCommands {
 public:
  FileCommands(Desktop& desktop, DialEditor& editor) : desktop_(desktop), editor_(editor) {}

  // "&New File": the save form of the file dialog; the name list stays.
  void MenuFileNew_Click();
  // "&Open File": the open form of the file dialog, then the name list.
  void MenuFileOpen_Click();
  // Makes `path` the data file in use and lists its names, as "&Open File"
  // does once the file is chosen. False, with the message shown, when it
  // cannot be opened or the person keeps the file in use (below); the file
  // in use before then stays in use. New and Open ask MayReplaceFigure
  // first when the new file may not be written and the one in use may, so
  // that no change is left with nowhere to be saved unasked.
  bool OpenDataFile(const std::string& path);

  // Whatever replaces the figure on the screen, or leaves its changes with
  // nowhere to be saved, asks this first. True at once when the figure has
  // no unsaved changes; else the person is asked SaveQuestion: "&Save"
  // saves it as "&Save Record" does and is true only if the record was
  // saved, "&Discard" is true, "Cancel" false. On false the caller leaves
  // everything as it was.
  bool MayReplaceFigure();
  // "&Save Record": the figure on the screen under the name in the name box.
  // True once the record is written and flushed.
  bool MenuFileSave_Click();
  // "&Delete Record": retires the record of the name in the name box.
  void MenuDeleteRecord_Click();
  // Entry `index` of the name list picked: loads the record it was listed
  // from, puts that figure's whole name in the name box and prices it, as
  // one undo step. A figure with unsaved changes is not replaced unasked
  // (MayReplaceFigure).
  void ComboName_Click(int index);
  // The same for an entry listed elsewhere (the Figures window): true once
  // the figure is on the screen.
  bool LoadListedFigure(NameEntry entry);
  // The program ends: the data file is closed.
  void Close();

  // Called before every message box, so that the window can show what the
  // command has done so far (the rebuilt name list behind "Record saved.").
  void OnBeforeMessage(std::function<void()> callback) { beforeMessage_ = std::move(callback); }

  // The path of the data file in use; "" when there is none.
  const std::string& DataFileName() const { return dataFileName_; }
  const std::vector<NameEntry>& NameList() const { return names_; }
  // Whether the name list was rebuilt since the last call.
  bool TakeNameListChanged() { return std::exchange(namesChanged_, false); }

  // How long a command waits for another program's lock (tests shorten it).
  void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }
  // The system calls of the files opened from now on (tests inject faults).
  void SetSystemCalls(SystemCalls* calls) { calls_ = calls; }

 private:
  bool Open(const std::string& path, bool create, bool listNames);
  // Reads the list again into names_; the lock is the caller's.
  bool RefreshNameList(DataFile& file, std::string* why);
  void Say(const std::string& text) {
    if (text.empty()) return;
    if (beforeMessage_) beforeMessage_();
    desktop_.ShowMessage(text, kAppTitle);
  }
  // Saves or deletes under the exclusive lock: whether the record was
  // written. `why` gets the message to show: why nothing was written, or,
  // after a write, why the list could not be read again ("" when it was).
  bool WriteRecord(DataFile& file, const std::string& name, const FigureRecord* figure,
                   const char* nothingDone, std::string* why);
  // The data file in use, or nothing after "Please open or create a file first.".
  DataFile* FileInUse();
  FileDialogRequest Dialog(const char* label) const;

  Desktop& desktop_;
  DialEditor& editor_;
  std::unique_ptr<DataFile> file_;
  std::string dataFileName_;
  std::string lastChosenPath_;  // filled into the next dialog
  std::vector<NameEntry> names_;
  bool namesChanged_ = false;
  std::chrono::milliseconds lockWait_ = kLockWait;
  SystemCalls* calls_ = nullptr;
  FigureRecord currentRecord_;  // every record read or written passes here
  std::function<void()> beforeMessage_;
  // A journal rolled back or set aside while this window locks a file is
  // said like every other message.
  JournalNotices notices_{[this](const std::string& text) { Say(text); }};
};

}  // namespace zandorik
