#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/form_main.h"
#include "app/qt_desktop.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::puts(
          "Usage: zandorik-dial [FILE.QMV]\n"
          "Starts the Zandorik Dial Generator. With a data file, opens it as\n"
          "File > Open File does, so that its figures are in the name list.");
      return 0;
    }
  }
  // A file-size limit must fail a write, which the data file then undoes,
  // not end the program with the figure on the screen.
  std::signal(SIGXFSZ, SIG_IGN);
  // Loading the font configuration is the largest single cost of start-up;
  // do it on the other core while the application connects to the display.
  std::thread fonts([] { FcInit(); });
  QApplication app(argc, argv);
  fonts.join();
  QApplication::setApplicationName(QStringLiteral("QMVR"));
  // The desktop matches the window to its menu entry and icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("zandorik-dial"));
  zandorik::ApplyDialLook();
  zandorik::QtDesktop desktop;
  zandorik::FormMain form(desktop);
  desktop.SetOwner(&form);
  form.show();
  // A data file named on the command line (a double-click on a .QMV file)
  // is opened once the window is up, so that any message has its owner.
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) {
    const std::string path = QFile::encodeName(arguments.at(1)).toStdString();
    QTimer::singleShot(0, &form, [&form, path] { form.OpenDataFile(path); });
  }
  return app.exec();
}
