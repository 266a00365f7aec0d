#include "recovery/recovery_commands.h"

#include <sys/stat.h>

namespace zandorik {

std::string RecoverQuestion(const std::string& name) {
  if (name.empty()) return "Recover the figure that was being edited when the program last ended?";
  return "Recover the figure \"" + name + "\" that was being edited when the program last ended?";
}

bool OfferRecovery(Desktop& desktop, DialEditor& editor, FileCommands& files,
                   RecoveryKeeper& keeper) {
  for (const std::string& path : RecoveryFilesIn(keeper.Folder())) {
    std::unique_ptr<RecoverySlot> slot = RecoverySlot::Claim(path);
    if (!slot) continue;  // another window's, or gone
    RecoveredFigure figure;
    if (std::string why; !slot->Read(figure, &why)) {
      FileError error;
      const std::string aside = slot->SetAside(&error);
      desktop.ShowMessage(
          "The recovery file " + path + " cannot be read: " + why + ". " +
              (aside.empty() ? "It could not be set aside (Err " + std::to_string(error.number) +
                                   " : " + error.description + ") and is left where it is."
                             : "It has been set aside as " + aside + "."),
          kAppTitle);
      continue;
    }
    switch (desktop.AskToRecover(RecoverQuestion(figure.Name()), kAppTitle)) {
      case RecoverChoice::Discard:
        slot->Remove();
        continue;
      case RecoverChoice::Later:
        continue;  // the slot lets go; the file waits for the next start
      case RecoverChoice::Recover:
        break;
    }
    if (!figure.dataFile.empty()) {
      struct stat there {};
      if (::stat(figure.dataFile.c_str(), &there) == 0) {
        files.OpenDataFile(figure.dataFile);
      } else {
        desktop.ShowMessage("The data file " + figure.dataFile +
                                " of the recovered figure is no longer there. Open or create "
                                "a data file to save the figure in.",
                            kAppTitle);
      }
    }
    editor.LoadFigure(DecodeRecord(figure.record.data()));
    keeper.Adopt(std::move(slot));
    return true;
  }
  return false;
}

}  // namespace zandorik
