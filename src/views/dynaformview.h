#pragma once
// A form view: controls at fixed places on a form, with a painted
// background, that follow the view's size by their anchors. A control may
// move with or stretch to the right or bottom edge, or stay centred; it
// never moves left of or above, nor shrinks below, the place it was given.
// A view smaller than the form scrolls.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <map>
#include <vector>

#include "views/dataview.h"

namespace kestrel {

enum AnchorFlag : int {
    ANCHOR_MOVE_RIGHT = 1,
    ANCHOR_STRETCH_RIGHT = 2,
    ANCHOR_MOVE_DOWN = 4,
    ANCHOR_STRETCH_DOWN = 8,
    ANCHOR_CENTER = 16,
};

// One anchored control as recorded when anchoring was enabled.
struct AnchorEntry {
    QWidget* control = nullptr;
    int flags = 0;
    QRect original;       // its place on the form
    int rightMargin = 0;  // to the right edge of the form's original extent
    int bottomMargin = 0; // to its bottom edge
    QPoint centerOffset;  // its top left from the extent's centre (flag 16)
};

// Where an anchored control goes on a form of size client.
QRect AnchoredRect(const AnchorEntry& entry, const QSize& client);
// Records the anchor of a control placed at rect on a form of that extent.
AnchorEntry MakeAnchor(QWidget* control, int flags, const QRect& rect, const QSize& extent);

class CDynaFormView : public CDataView {
    Q_OBJECT
public:
    explicit CDynaFormView(QWidget* parent = nullptr);

    // The form the controls are placed on (the scrolled content).
    QWidget* Form() const { return m_form; }
    // Gives a control explicit anchor flags (instead of what the anchor
    // frames give it).
    void SetAnchorFlags(QWidget* control, int flags);
    // Records every control's place and anchor. Frames (up to five: move
    // right, stretch right, move down, stretch down, centre) give the flags
    // of the controls they overlap that have no explicit flags; the frames
    // themselves are hidden.
    void EnableAnchoring(const QList<QWidget*>& frames = {});
    const std::vector<AnchorEntry>& Anchors() const { return m_anchors; }
    QSize FormExtent() const { return m_extent; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ApplyAnchors();
    // After the anchors, whenever the form's size changed: views that place
    // controls by their own rules do it here.
    virtual void OnFormResized() {}

private:
    QWidget* m_form = nullptr;
    std::map<QWidget*, int> m_explicit;
    std::vector<AnchorEntry> m_anchors;
    QSize m_extent;
};

} // namespace kestrel
