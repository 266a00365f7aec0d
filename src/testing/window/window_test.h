// The fixture of the window's tests: the main window shown and exposed on
// a scripted desktop, and a driver that works it as a person does.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "testing/window/form_main_driver.h"

namespace zandorik {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<FormMain>(desktop);
    drive = std::make_unique<FormMainDriver>(*form, desktop);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  ScriptedWindowDesktop desktop;
  std::unique_ptr<FormMain> form;
  std::unique_ptr<FormMainDriver> drive;
};

}  // namespace zandorik
