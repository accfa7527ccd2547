#pragma once

#include <QRect>
#include <QStringList>

class QWidget;

namespace widgets {

// The room a window may take: the available geometry of its screen (the
// desktop without its task bar).
QRect ScreenRoom(const QWidget& window);

// Makes a top-level window fit that room, its frame counted: a minimum size
// or size larger than the room is cut to it and the window is moved inside.
// Pages that scroll and button rows that stay are the window's own business;
// this makes sure the user can reach every edge. Does nothing for a child.
void FitToScreen(QWidget& window);

// Fits the window at every showing, after a stored placement was restored:
// for windows that are not built on the table-form host.
void KeepOnScreen(QWidget& window);

// What of a shown window lies off the room: "Fenster" for its frame, else
// "Inhalt" when its layout is squeezed below what it needs, and the texts of
// the buttons outside the room or outside the window (buttons inside a
// scrolling page count as reachable). Empty when everything fits.
QStringList OffScreenParts(const QWidget& window);

} // namespace widgets
