// The program's look, as Qt's styles example keeps it: the face of every
// window, and a style over Fusion that draws the classic desktop's group
// boxes and spacing.
#pragma once

#include <QFont>
#include <QStyle>

namespace zandorik {

// The 8-point sans face of every window: the nearest the platform has to
// "MS Sans Serif".
QFont DialFont();
// The program's look: Fusion, with option and check box captions as close
// to their boxes as on the classic desktop, so that captions fit.
QStyle* MakeDialStyle();
// Sets the look and the face for the whole application.
void ApplyDialLook();

}  // namespace zandorik
