#include "app/window_icon.h"

#include <QApplication>
#include <QDirIterator>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace zandorik {
namespace {

// Waits for the window's first expose, then sets the icon from the event
// loop and goes.
class IconOnExpose : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        QApplication::setWindowIcon(DialIcon());
        deleteLater();
      });
    }
    return false;
  }
};

}  // namespace

QIcon DialIcon() {
  // The PNG sizes drawn from data/zandorik-dial.svg at build time.
  QIcon builtIn;
  QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                     QDirIterator::Subdirectories);
  while (sizes.hasNext())
    builtIn.addFile(sizes.next());
  return QIcon::fromTheme(QStringLiteral("zandorik-dial"), builtIn);
}

void SetDialIconOnceShown(QWidget& window) {
  window.winId();  // makes the QWindow to watch
  QWindow* handle = window.windowHandle();
  if (handle->isExposed()) {
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(DialIcon()); });
  } else {
    handle->installEventFilter(new IconOnExpose(&window));
  }
}

}  // namespace zandorik
