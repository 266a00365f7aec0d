// The Desktop of the real program: Qt's message boxes and file dialogs,
// the desktop's link opener and the default printer.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/window_desktop.h"

namespace zandorik {

class QtDesktop : public WindowDesktop {
 public:
  // The window that owns the boxes and dialogs, and that is printed.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  SaveChoice AskToSave(const std::string& text, const std::string& title) override;
  RecoverChoice AskToRecover(const std::string& text, const std::string& title) override;
  std::optional<std::string> ChooseNewFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseExistingFile(const FileDialogRequest& request) override;
  void OpenLink(const std::string& target) override;
  bool PrintMainWindow(std::string* failure) override;
  std::optional<SheetSettings> ChooseSheetSettings(const SheetSettings& current) override;
  std::optional<ExportChoice> ChooseExportFile(const ExportDialogRequest& request) override;
  bool PrintDialSheet(const FigureScreen& figure, const SheetSettings& settings,
                      std::string* failure) override;
  bool PrintTeamSheet(const Team& team, const std::string& fileName, const SheetSettings& settings,
                      std::string* failure) override;
  void SetClipboardText(const std::string& text) override;
  std::optional<std::string> ClipboardText() override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace zandorik
