#pragma once
// The label text of a form built from a form definition, painted on a
// transparent layer under its controls: each stretch of a label line in
// one line from where the form's layout puts it, cut off at its end.

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace kestrel {

class CFormLabels : public QWidget {
    Q_OBJECT
public:
    struct Run {
        QRect rect; // where the text goes, in form coordinates
        QString text;
    };

    explicit CFormLabels(QWidget* parent = nullptr);

    void SetRuns(QList<Run> runs);
    const QList<Run>& Runs() const { return m_runs; }
    void SetTextColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Run> m_runs;
    QColor m_color;
};

} // namespace kestrel
