// The program's icon on its windows: the desktop theme's "zandorik-dial"
// (installed with the program), else the copy built into the program.
#pragma once

#include <QIcon>

class QWidget;

namespace zandorik {

QIcon DialIcon();

// Gives every window of the application DialIcon() once `window` is first
// on the screen, so that looking the icon up never delays the window.
void SetDialIconOnceShown(QWidget& window);

}  // namespace zandorik
