#pragma once
// The splash window: the program's picture, without a frame, in the middle
// of the screen while the program starts, above the program's other
// windows. It closes itself after three seconds, or at once when clicked,
// and gives way to any question the program asks meanwhile.

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

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Finish();

    QTimer* m_timer = nullptr;
};

} // namespace kestrel
