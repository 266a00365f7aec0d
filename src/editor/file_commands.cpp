#include "editor/file_commands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "store/cp1252.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

constexpr const char* kNothingSaved = "The figure was not saved; the data file is as it was.";
constexpr const char* kNothingDeleted = "Nothing was deleted; the data file is as it was.";
constexpr const char* kNotLoaded = "The figure was not loaded; the screen is as it was.";

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

std::string UnexpectedText(const FileError& error, const std::string& after = {}) {
  std::string text =
      "Unexpected error. Err " + std::to_string(error.number) + " : " + error.description;
  if (!after.empty()) text += "\n" + after;
  return text;
}

// A lock that could not be had: in use by another program, or an error.
std::string LockFailureText(const std::string& path, const FileError& error,
                            const std::string& after) {
  if (error.number != kErrorInUse) return UnexpectedText(error, after);
  return "The data file " + path + " is in use by another program. " + after +
         " Try again in a moment.";
}

}  // namespace

bool StoreFigureInRecord(const FigureScreen& screen, FigureRecord& record, std::string* refusal) {
  std::string refused;
  if (const std::string misfit = FirstMisfitCp1252(FitName(screen.name)); !misfit.empty()) {
    refused += "The name " + Quoted(screen.name) + " holds the character " + Quoted(misfit) +
               ", which a data file cannot store.\n";
  }
  std::vector<std::string> reasons;
  StoreScreenInRecord(screen, record, &reasons);
  for (std::string& reason : reasons)
    refused += std::move(reason) + ".\n";
  record.Deleted = 0;
  if (refusal) *refusal = refused;
  return refused.empty();
}

std::string SaveQuestion(const std::string& name) {
  return (name.empty() ? std::string("This figure") : "The figure " + Quoted(name)) +
         " has changes that are not saved. Save them before closing?";
}

bool FileCommands::MayReplaceFigure() {
  if (!editor_.HasUnsavedChanges()) return true;
  switch (desktop_.AskToSave(SaveQuestion(editor_.Screen().name), kAppTitle)) {
    case SaveChoice::Save:
      return MenuFileSave_Click();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      break;
  }
  return false;
}

FileDialogRequest FileCommands::Dialog(const char* label) const {
  return {label, "*.QMV", lastChosenPath_};
}

void FileCommands::MenuFileNew_Click() {
  const std::optional<std::string> path = desktop_.ChooseNewFile(Dialog("QMVR Data file"));
  if (!path) {
    Say(kNoFileCreated);
    return;
  }
  lastChosenPath_ = *path;
  Open(*path, true, false);
}

void FileCommands::MenuFileOpen_Click() {
  const std::optional<std::string> path = desktop_.ChooseExistingFile(Dialog("QMVR data file"));
  if (!path) return;
  lastChosenPath_ = *path;
  Open(*path, false, true);
}

bool FileCommands::OpenDataFile(const std::string& path) {
  lastChosenPath_ = path;
  // Like the open dialog, which offers existing files only: nothing is
  // created for a name that is not there.
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0) {
    Say(UnexpectedText(FileError{errno, std::strerror(errno)},
                       "The data file " + path + " cannot be opened."));
    return false;
  }
  return Open(path, false, true);
}

bool FileCommands::Open(const std::string& path, bool create, bool listNames) {
  // The new file replaces the one in use only once it is open and read.
  auto next = std::make_unique<DataFile>();
  next->SetSystemCalls(calls_);
  FileError error;
  if (!next->Open(path, create, &error)) {
    Say(error.number == kErrorNotDataFile ? error.description : UnexpectedText(error));
    return false;
  }
  std::vector<NameEntry> listed;
  if (listNames) {
    std::string problem;
    {
      FileLock lock = next->Lock(RecordFile::LockKind::Shared, lockWait_, &error);
      if (!lock) {
        problem = LockFailureText(path, error, "Its figures could not be listed.");
      } else if (!next->ListNames(listed, &error)) {
        problem = UnexpectedText(error);
      }
    }
    if (!problem.empty()) {
      Say(problem);
      return false;
    }
  }
  const bool savableNow = file_ && file_->MayWrite(nullptr);
  if (savableNow && !next->MayWrite(nullptr) && !MayReplaceFigure()) return false;
  file_ = std::move(next);
  dataFileName_ = path;
  if (listNames) {
    names_ = std::move(listed);
    namesChanged_ = true;
  }
  // Said once, when the file is opened; saves and deletes refuse it again.
  if (std::string notice; !file_->IsWhole(&notice)) Say(notice);
  return true;
}

bool FileCommands::RefreshNameList(DataFile& file, std::string* why) {
  FileError error;
  if (!file.ListNames(names_, &error)) {
    if (why) *why = UnexpectedText(error);
    return false;
  }
  namesChanged_ = true;
  return true;
}

DataFile* FileCommands::FileInUse() {
  if (dataFileName_.empty() || !file_) {
    Say(kOpenFileFirst);
    return nullptr;
  }
  return file_.get();
}

// Everything from the search to the flush, or to the put-back of a failed
// write, happens under the exclusive lock, so that no other program can
// write between them; the list is read again before the lock is let go.
bool FileCommands::WriteRecord(DataFile& file, const std::string& name, const FigureRecord* figure,
                               const char* nothingDone, std::string* why) {
  const auto refuse = [why](std::string text) {
    if (why) *why = std::move(text);
    return false;
  };
  if (why) why->clear();
  FileError error;
  FileLock lock = file.Lock(RecordFile::LockKind::Exclusive, lockWait_, &error);
  if (!lock) return refuse(LockFailureText(file.Path(), error, nothingDone));
  if (std::string refusal; !file.MayWrite(&refusal)) return refuse(refusal);
  DataFile::Found found;
  if (!file.FindRecordByName(name, found, &error))
    return refuse(UnexpectedText(error, nothingDone));
  if (!figure && !found.stored) {
    return refuse("No figure named " + Quoted(name) + " is stored in this data file. " +
                  nothingDone);
  }
  if (figure) currentRecord_ = *figure;
  FileError putBack;
  if (!file.Write(found.number, figure ? currentRecord_ : DeletedRecord(), &error, &putBack)) {
    if (putBack.number == 0) return refuse(UnexpectedText(error, nothingDone));
    // The old bytes could not be put back: say which record may be hurt.
    std::string text = UnexpectedText(error) + "\nPutting back record " +
                       std::to_string(found.number) + " failed too (Err " +
                       std::to_string(putBack.number) + " : " + putBack.description +
                       "): that record of the data file may now be damaged.";
    if (std::string listProblem; !RefreshNameList(file, &listProblem)) text += "\n" + listProblem;
    return refuse(text);
  }
  RefreshNameList(file, why);
  return true;
}

bool FileCommands::MenuFileSave_Click() {
  DataFile* file = FileInUse();
  if (!file) return false;
  const FigureScreen& screen = editor_.Screen();

  // Everything that a record cannot hold is refused before the file is read.
  FigureRecord record;
  if (std::string refused; !StoreFigureInRecord(screen, record, &refused)) {
    Say(refused + kNothingSaved);
    return false;
  }
  std::string problem;
  if (!WriteRecord(*file, screen.name, &record, kNothingSaved, &problem)) {
    Say(problem);
    return false;
  }
  editor_.MarkStored();
  Say(problem);  // the list could not be read again
  Say(kRecordSaved);
  return true;
}

void FileCommands::MenuDeleteRecord_Click() {
  DataFile* file = FileInUse();
  if (!file) return;
  std::string problem;
  const bool deleted =
      WriteRecord(*file, editor_.Screen().name, nullptr, kNothingDeleted, &problem);
  Say(problem);
  if (deleted) Say(kRecordDeleted);
}

void FileCommands::ComboName_Click(int index) {
  // The list is empty until a file is in use.
  if (dataFileName_.empty() || !file_ || index < 0 || index >= static_cast<int>(names_.size())) {
    return;
  }
  // Taken before the question, whose save reads the list again.
  LoadListedFigure(names_[static_cast<std::size_t>(index)]);
}

bool FileCommands::LoadListedFigure(NameEntry entry) {
  if (dataFileName_.empty() || !file_) return false;
  if (!MayReplaceFigure()) return false;
  std::string problem;
  {
    FileError error;
    FileLock lock = file_->Lock(RecordFile::LockKind::Shared, lockWait_, &error);
    bool listed = false;
    if (!lock) {
      problem = LockFailureText(dataFileName_, error, kNotLoaded);
    } else if (!file_->ReadListed(entry, currentRecord_, listed, &error)) {
      problem = UnexpectedText(error, kNotLoaded);
    } else if (!listed) {
      problem = "The figure " + Quoted(entry.shown) +
                " is no longer where the list found it: the data file was changed by another "
                "program. The list has been read again; the screen is as it was.";
      if (std::string listProblem; !RefreshNameList(*file_, &listProblem))
        problem += "\n" + listProblem;
    }
  }
  if (!problem.empty()) {
    Say(problem);
    return false;
  }
  // The whole stored name comes with it, so that a save goes back to the
  // same record.
  editor_.LoadFigure(currentRecord_);
  editor_.MarkStored();
  return true;
}

void FileCommands::Close() {
  file_.reset();
  dataFileName_.clear();
}

}  // namespace zandorik
