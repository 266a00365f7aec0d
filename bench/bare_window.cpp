// A bare Qt main window with a client area the size of the dial window:
// what start-up time is measured against.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare Window"));
  window.setCentralWidget(new QWidget);
  window.centralWidget()->setFixedSize(423, 237);
  window.show();
  return app.exec();
}
