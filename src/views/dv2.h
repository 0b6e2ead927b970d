#pragma once
// The base of the views laid out by hand at run time (the forms built from
// form definitions): the form font and the metrics their layout uses.

#include <QColor>
#include <QFont>

#include "views/dataview.h"

namespace kestrel {

class CDV2 : public CDataView {
    Q_OBJECT
public:
    explicit CDV2(QWidget* parent = nullptr);

    // The form the controls are placed on, scroll size 100 x 100 at first.
    QWidget* Form() const { return m_form; }
    void SetScrollSize(const QSize& size);

    // Form metrics, computed in the initial update from the form font.
    const QFont& FormFont() const { return m_font; }
    QColor FaceColor() const { return m_faceColor; }
    QColor TextColor() const { return m_textColor; }
    int TextHeight() const { return m_textHeight; }
    // (maximum character width + 2 x average character width) / 3
    int CharWidth() const { return m_charWidth; }
    int BorderX() const { return m_borderX; }
    int BorderY() const { return m_borderY; }
    // text height + 4 vertical border units + 2
    int LineHeight() const { return m_lineHeight; }
    int Gap() const { return m_borderX; }

protected:
    // Creates the form font unless it exists; the base takes the program's
    // font, extraHeight points larger.
    virtual QFont CreateFormFont(int extraHeight, int weight);
    void OnInitialUpdate() override;
    void ComputeMetrics();

private:
    QWidget* m_form = nullptr;
    QFont m_font;
    bool m_fontCreated = false;
    QColor m_faceColor;
    QColor m_textColor;
    int m_textHeight = 0;
    int m_charWidth = 0;
    int m_borderX = 1;
    int m_borderY = 1;
    int m_lineHeight = 0;
};

} // namespace kestrel
