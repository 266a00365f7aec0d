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

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

}  // namespace

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
  Open(*path, false);
}

void FileCommands::MenuFileOpen_Click() {
  const std::optional<std::string> path = desktop_.ChooseExistingFile(Dialog("QMVR data file"));
  if (!path) return;
  lastChosenPath_ = *path;
  Open(*path, true);
}

bool FileCommands::OpenDataFile(const std::string& path) {
  lastChosenPath_ = path;
  // Like the open dialog, which offers existing files only: nothing is
  // created for a name that is not there.
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0) {
    UnexpectedError(FileError{errno, std::strerror(errno)});
    return false;
  }
  return Open(path, true);
}

bool FileCommands::Open(const std::string& path, bool listNames) {
  // The new file replaces the one in use only once it is open and read.
  auto next = std::make_unique<DataFile>();
  FileError error;
  if (!next->Open(path, &error)) {
    UnexpectedError(error);
    return false;
  }
  std::vector<std::string> names;
  if (listNames && !RefreshNameList(*next, names)) return false;
  file_ = std::move(next);
  dataFileName_ = path;
  if (listNames) {
    names_ = std::move(names);
    namesChanged_ = true;
  }
  return true;
}

bool FileCommands::RefreshNameList(DataFile& file, std::vector<std::string>& names) {
  FileError error;
  if (file.ListNames(names, &error)) return true;
  UnexpectedError(error);
  return false;
}

void FileCommands::UnexpectedError(const FileError& error, const std::string& after) {
  std::string text =
      "Unexpected error. Err " + std::to_string(error.number) + " : " + error.description;
  if (!after.empty()) text += "\n" + after;
  Say(text);
}

DataFile* FileCommands::FileInUse() {
  if (dataFileName_.empty() || !file_) {
    Say(kOpenFileFirst);
    return nullptr;
  }
  return file_.get();
}

bool FileCommands::MenuFileSave_Click() {
  DataFile* file = FileInUse();
  if (!file) return false;
  const FigureScreen& screen = editor_.Screen();

  // Everything that a record cannot hold is refused before the file is read.
  std::vector<std::string> refused;
  if (const std::string misfit = FirstMisfitCp1252(FitName(screen.name)); !misfit.empty()) {
    refused.push_back("The name " + Quoted(screen.name) + " holds the character " + Quoted(misfit) +
                      ", which a data file cannot store.");
  }
  FigureRecord record;
  for (std::string& reason : StoreScreenInRecord(screen, record))
    refused.push_back(std::move(reason) + ".");
  if (!refused.empty()) {
    std::string text;
    for (const std::string& reason : refused)
      text += reason + "\n";
    Say(text + kNothingSaved);
    return false;
  }
  if (const std::string refusal = file->WriteRefusal(); !refusal.empty()) {
    Say(refusal);
    return false;
  }

  DataFile::Found found;
  FileError error;
  if (!file->FindRecordByName(screen.name, DataFile::Search::Write, found, &error)) {
    UnexpectedError(error, kNothingSaved);
    return false;
  }
  record.Deleted = 0;
  currentRecord_ = record;
  if (!file->Write(found.number, currentRecord_, &error)) {
    UnexpectedError(error, kNothingSaved);
    return false;
  }
  editor_.MarkStored();
  if (RefreshNameList(*file, names_)) namesChanged_ = true;
  Say(kRecordSaved);
  return true;
}

void FileCommands::MenuDeleteRecord_Click() {
  DataFile* file = FileInUse();
  if (!file) return;
  if (const std::string refusal = file->WriteRefusal(); !refusal.empty()) {
    Say(refusal);
    return;
  }
  const std::string& name = editor_.Screen().name;
  DataFile::Found found;
  FileError error;
  if (!file->FindRecordByName(name, DataFile::Search::Write, found, &error)) {
    UnexpectedError(error, kNothingDeleted);
    return;
  }
  if (!found.stored) {
    Say("No figure named " + Quoted(name) + " is stored in this data file. " + kNothingDeleted);
    return;
  }
  if (!file->Write(found.number, DeletedRecord(), &error)) {
    UnexpectedError(error, kNothingDeleted);
    return;
  }
  if (RefreshNameList(*file, names_)) namesChanged_ = true;
  Say(kRecordDeleted);
}

void FileCommands::ComboName_Click() {
  if (dataFileName_.empty() || !file_) return;  // the list is empty until a file is in use
  const std::string& name = editor_.Screen().name;
  DataFile::Found found;
  FileError error;
  if (!file_->FindRecordByName(name, DataFile::Search::Load, found, &error) ||
      (found.stored && !file_->Read(found.number, currentRecord_, &error))) {
    UnexpectedError(error, "The figure was not loaded; the screen is as it was.");
    return;
  }
  if (!found.stored) {
    Say("No figure named " + Quoted(name) +
        " is stored in this data file. The screen is as it was.");
    return;
  }
  editor_.ShowRecordAndCalculate(currentRecord_);
  editor_.MarkStored();
}

void FileCommands::Close() {
  file_.reset();
  dataFileName_.clear();
}

}  // namespace zandorik
