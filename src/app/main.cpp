#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <csignal>
#include <thread>

#include "app/form_main.h"
#include "app/qt_desktop.h"

int main(int argc, char** argv) {
  // A file-size limit must fail a write, which the data file then undoes,
  // not end the program with the figure on the screen.
  std::signal(SIGXFSZ, SIG_IGN);
  // Loading the font configuration is the largest single cost of start-up;
  // do it on the other core while the application connects to the display.
  std::thread fonts([] { FcInit(); });
  QApplication app(argc, argv);
  fonts.join();
  QApplication::setApplicationName(QStringLiteral("QMVR"));
  zandorik::ApplyDialLook();
  zandorik::QtDesktop desktop;
  zandorik::FormMain form(desktop);
  desktop.SetOwner(&form);
  form.show();
  return app.exec();
}
