#pragma once
// A tree whose items stand on the painted background (gradient or bitmap).

#include <QTreeWidget>

#include "views/backgroundpainter.h"

namespace kestrel {

class CColoredTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CColoredTreeView(QWidget* parent = nullptr);
    void SetBackground(const CBackgroundPainter& painter);
    const CBackgroundPainter& Background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    CBackgroundPainter m_background;
};

} // namespace kestrel
