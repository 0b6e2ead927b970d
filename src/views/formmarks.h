#pragma once
// The marks of the fields a record still needs: a small corner mark on
// each field that its rule makes required in the bound record and that is
// empty. Painted on a transparent layer over the form's controls; the mouse
// goes through it.

#include <QList>
#include <QRect>
#include <QWidget>

namespace kestrel {

class CFormMarks : public QWidget {
    Q_OBJECT
public:
    explicit CFormMarks(QWidget* parent = nullptr);

    // The rectangles (form coordinates) of the controls to mark.
    void SetMarked(QList<QRect> controls);
    const QList<QRect>& Marked() const { return m_marked; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QRect> m_marked;
};

} // namespace kestrel
