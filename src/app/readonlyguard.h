#pragma once
// While the contract is open read-only, what would change it is stopped
// where it starts: typing, pasting or dropping into the views' fields, and
// ticking or choosing in their boxes. The user hears a beep and reads why
// in the status bar, instead of typing first and being refused after.
// Moving about, selecting and copying go on as always.

#include <QObject>

class QStatusBar;
class QWidget;

namespace kestrel {

class CSubDoc;

class CReadOnlyGuard : public QObject {
    Q_OBJECT
public:
    // Watches the widgets inside `area` except those inside `exempt`.
    CReadOnlyGuard(CSubDoc& doc, QWidget& area, QWidget* exempt, QStatusBar& bar, QObject* parent = nullptr);

    // The text the status bar shows when something is stopped.
    static QString Notice();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Guards(const QObject* watched) const;
    bool WouldChange(const QObject* watched, QEvent* event) const;

    CSubDoc& m_doc;
    QWidget& m_area;
    QWidget* m_exempt;
    QStatusBar& m_bar;
};

} // namespace kestrel
