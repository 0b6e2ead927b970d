#pragma once
// The program's picture, drawn with QPainter at whatever size and pixel
// ratio it is shown in: an evening sky over a road running to the horizon,
// a kestrel hovering above it. The splash window and the About box show it.

class QPainter;
class QRectF;

namespace kestrel {

void PaintKestrelScene(QPainter& painter, const QRectF& area);

} // namespace kestrel
