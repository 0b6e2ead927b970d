#pragma once
// The splash window: the program's picture, without a frame, in the middle
// of the screen while the program starts. It closes itself after three
// seconds, or at once when clicked.

#include <QWidget>

class QTimer;

namespace kestrel {

class CSplash : public QWidget {
    Q_OBJECT
public:
    // Closes after `ms` milliseconds (tests pass less than the 3,000).
    explicit CSplash(int ms = kShowMs);

    static constexpr int kShowMs = 3000;
    QTimer* Timer() const { return m_timer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Finish();

    QTimer* m_timer = nullptr;
};

} // namespace kestrel
