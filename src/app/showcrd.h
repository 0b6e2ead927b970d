#pragma once
// "Tollgate Credits": the people behind the program, headings and names,
// scrolling up over a gradient from black to blue; after four passes the
// window closes itself. OK closes it at once.

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <vector>

class QPushButton;
class QTimer;

namespace kestrel {

// One line of the credits: a heading, a name, or an empty line.
struct CreditLine {
    bool heading = false;
    QString text;
};
// The 39 lines: each heading, its names, an empty line.
const std::vector<CreditLine>& CreditLines();

// The scrolling: a position that advances by a step each tick, wrapping
// when the whole list has passed through the visible area.
class CreditsScroll {
public:
    CreditsScroll(int listHeight, int visibleHeight, int step);
    // Advances one step; false once the fourth pass is over.
    bool Tick();
    int Position() const { return m_position; }
    int Passes() const { return m_passes; }
    // The top of line i relative to the visible area's top.
    int LineTop(int i, int lineHeight) const { return m_visible - m_position + i * lineHeight; }

    static constexpr int kPasses = 4;

private:
    int m_span;
    int m_visible;
    int m_step;
    int m_position = 0;
    int m_passes = 0;
};

class CShowCrd : public QDialog {
    Q_OBJECT
public:
    explicit CShowCrd(QWidget* parent = nullptr);
    ~CShowCrd() override;

    // One timer tick (the timer calls it every 55 ms).
    void Tick();
    const CreditsScroll& Scroll() const { return m_scroll; }
    bool Running() const;
    QPushButton* OkButton() const { return m_ok; }
    int LineHeight() const { return m_lineHeight; }
    QRect TextArea() const { return m_area; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void Layout();

    QFont m_nameFont;
    QFont m_headingFont;
    int m_lineHeight = 0;
    QRect m_area;
    QPixmap m_background;
    CreditsScroll m_scroll;
    QTimer* m_timer = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace kestrel
