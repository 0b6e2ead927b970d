#pragma once
// A frame drawn around a control to show a place the user looked for,
// while the focus stays elsewhere. It lies over the control, lets every
// click through, and follows the control when it moves or is resized.

#include <QPointer>
#include <QWidget>

namespace kestrel {

class CHitMarker : public QWidget {
    Q_OBJECT
public:
    // Frames `target`; the marker is a child of the target's parent.
    explicit CHitMarker(QWidget* target);
    QWidget* Target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Follow();

    QPointer<QWidget> m_target;
};

} // namespace kestrel
