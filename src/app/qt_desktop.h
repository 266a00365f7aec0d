// The Desktop of the real program: Qt's modal message boxes.
#pragma once

#include <QPointer>
#include <QWidget>

#include "editor/desktop.h"

namespace zandorik {

class QtDesktop : public Desktop {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void ShowMessage(const std::string& text, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace zandorik
