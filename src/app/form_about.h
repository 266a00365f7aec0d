// "About QMVR": who made the cost formula and the program, with links to
// their pages and mail boxes. Modeless; closed with its own close control.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/window_desktop.h"

namespace zandorik {

// A label that looks like a link and hands its target to the desktop when
// clicked.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  LinkLabel(const QString& caption, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

class FormAbout : public QDialog {
  Q_OBJECT
 public:
  FormAbout(WindowDesktop& desktop, QWidget* owner);

  QPlainTextEdit* Text1() const { return text1_; }
  QPlainTextEdit* Text2() const { return text2_; }
  LinkLabel* LabelFormulaEmail() const { return labelFormulaEmail_; }
  LinkLabel* LabelFormulaWebsite() const { return labelFormulaWebsite_; }
  LinkLabel* LabelProgramEmail() const { return labelProgramEmail_; }
  LinkLabel* LabelProgramWebsite() const { return labelProgramWebsite_; }

 private:
  void LabelFormulaEmail_Click();
  void LabelFormulaWebsite_Click();
  void LabelProgramEmail_Click();
  void LabelProgramWebsite_Click();

  WindowDesktop& desktop_;
  QPlainTextEdit* text1_ = nullptr;
  QPlainTextEdit* text2_ = nullptr;
  LinkLabel* labelFormulaEmail_ = nullptr;
  LinkLabel* labelFormulaWebsite_ = nullptr;
  LinkLabel* labelProgramEmail_ = nullptr;
  LinkLabel* labelProgramWebsite_ = nullptr;
};

}  // namespace zandorik
