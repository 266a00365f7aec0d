// A Qt main window the size of the dial window with one label in the
// program's face: the floor of start-up time for a window that draws text,
// since drawing any text reads the font configuration.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "app/dial_style.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Labelled Window"));
  auto* label = new QLabel(QStringLiteral("Name"));
  label->setFont(zandorik::DialFont());
  window.setCentralWidget(label);
  label->setFixedSize(423, 237);
  window.show();
  return app.exec();
}
