#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <thread>

#include "app/form_main.h"
#include "app/qt_desktop.h"
#include "app/window_arguments.h"
#include "app/window_icon.h"
#include "program/exit_status.h"
#include "recovery/recovery_file.h"
#include "store/system_calls.h"

namespace {

QtMessageHandler qtMessages = nullptr;

// While QApplication connects to the display, Qt's fatal message (no
// platform plugin could start) ends the program with status 1 and a word
// of its own, not with an abort.
void EndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    if (qtMessages) qtMessages(type, context, text);
    return;
  }
  std::fprintf(stderr, "%s\nzandorik-dial: cannot open the window: no display could be reached\n",
               qPrintable(text));
  std::fflush(stderr);
  std::_Exit(zandorik::kExitUnreadable);
}

}  // namespace

int main(int argc, char** argv) {
  zandorik::ReserveStandardDescriptors();
  using zandorik::DialCommandLine;
  DialCommandLine commandLine;
  if (std::string error; !zandorik::ParseDialCommandLine(argc, argv, commandLine, &error)) {
    std::fprintf(stderr,
                 "zandorik-dial: %s\nUsage: zandorik-dial [OPTION]... [--] [FILE.QMV] "
                 "(try --help)\n",
                 error.c_str());
    return zandorik::kExitUsage;
  }
  switch (commandLine.action) {
    case DialCommandLine::Action::Help:
      std::puts(zandorik::kDialHelp);
      return zandorik::kExitOk;
    case DialCommandLine::Action::Version:
      std::puts("zandorik-dial " ZANDORIK_VERSION);
      return zandorik::kExitOk;
    case DialCommandLine::Action::Run:
      break;
  }
  if (zandorik::NoDisplayFor(commandLine)) {
    std::fputs(
        "zandorik-dial: no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY "
        "is set\n",
        stderr);
    return zandorik::kExitUnreadable;
  }
  // A file-size limit must fail a write, which the data file then undoes,
  // not end the program with the figure on the screen.
  std::signal(SIGXFSZ, SIG_IGN);
  // Loading the font configuration is the largest single cost of start-up;
  // do it on the other core while the application connects to the display.
  std::thread fonts([] { FcInit(); });
  // Qt sees only its own options; the file name never passes through it.
  int qtArgc = static_cast<int>(commandLine.qtArguments.size()) - 1;
  qtMessages = qInstallMessageHandler(EndWithoutDisplay);
  QApplication app(qtArgc, commandLine.qtArguments.data());
  qInstallMessageHandler(qtMessages);
  fonts.join();
  QApplication::setApplicationName(QStringLiteral("QMVR"));
  // The desktop matches the window to its menu entry and icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("zandorik-dial"));
  zandorik::ApplyDialLook();
  zandorik::QtDesktop desktop;
  zandorik::FormMain form(desktop);
  desktop.SetOwner(&form);
  form.show();
  zandorik::SetDialIconOnceShown(form);
  form.MenuFileRecent()->UseSettings(zandorik::RecentFilesMenu::DefaultSettingsPath());
  // Once the window is up, so that every question and message has its
  // owner: a figure left by a window that did not end normally is offered
  // back, then a data file named on the command line (a double-click on a
  // .QMV file) is opened.
  QTimer::singleShot(0, &form, [&form, file = commandLine.file] {
    if (const std::string folder = zandorik::DefaultRecoveryFolder(); !folder.empty())
      form.StartRecovery(folder);
    if (file) form.OpenDataFile(*file);
  });
  return app.exec();
}
