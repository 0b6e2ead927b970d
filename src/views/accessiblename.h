#pragma once
// The name a screen reader says for an input: the caption the window shows
// beside it (painted or a label), without the accelerator mark and the
// closing colon, and what the input is for as its description.

#include <QString>

class QWidget;

namespace kestrel {

void SetAccessibleCaption(QWidget* input, const QString& caption, const QString& description = QString());

} // namespace kestrel
