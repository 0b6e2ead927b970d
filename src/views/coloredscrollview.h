#pragma once
// A scroll area whose viewport shows the painted background (gradient,
// bitmap or plain). Its content widget is transparent, so labels, check
// boxes and group boxes stand on the background.

#include <QScrollArea>

#include "views/backgroundpainter.h"

namespace kestrel {

class CColoredScrollView : public QScrollArea {
    Q_OBJECT
public:
    explicit CColoredScrollView(QWidget* parent = nullptr);

    void SetBackground(const CBackgroundPainter& painter);
    const CBackgroundPainter& Background() const { return m_background; }
    // Sets the content widget and keeps it transparent.
    void SetContent(QWidget* content);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    CBackgroundPainter m_background;
};

} // namespace kestrel
