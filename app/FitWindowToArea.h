#pragma once

#include <QRect>

// A window's outer rectangle (frame included) made to fit an area of the screen: no larger than
// the area, and moved the least distance that brings it wholly inside. A window that already
// fits comes back as it was; an empty area changes nothing.
QRect FitWindowToArea(const QRect &frame, const QRect &area);
