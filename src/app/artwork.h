#pragma once
// The program's picture, drawn with QPainter at whatever size and pixel
// ratio it is shown in: an evening sky over a road running to the horizon,
// a kestrel hovering above it. The splash window and the About box show it.

#include <QRgb>

class QPainter;
class QRectF;
class QString;

namespace kestrel {

// The colour of light text (the release) over the picture's sky.
constexpr QRgb kSceneLightText = qRgb(255, 244, 214);

void PaintKestrelScene(QPainter& painter, const QRectF& area);
// A line of light text on the picture, with a soft shadow below it, left
// aligned in `band`; the font is Arial (or Liberation Sans) of that pixel
// size and weight.
void PaintSceneText(QPainter& painter, const QRectF& band, const QString& text, int pixels, int weight);

} // namespace kestrel
