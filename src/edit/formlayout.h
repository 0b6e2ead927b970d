#pragma once
// Layout of the forms built from a window-metadata record (the subcontractor
// form and the miscellaneous-data form): where each field's control goes,
// what kind of control it is, which label text is painted where, how far the
// form scrolls, and the order Tab and Enter move through the fields. Pure
// computation; the GUI measures text, then places widgets at these
// rectangles and paints these label runs.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CWinMeta;

// The font metrics of a form, in pixels. Only the GUI can measure text, so it
// fills this from the form font (FromFont does the arithmetic).
struct FormMetrics {
    int th = 0;           // text height
    int cw = 0;           // character width
    int avgCharWidth = 0; // average character width
    int bx = 0;           // horizontal border unit
    int by = 0;           // vertical border unit
    // Width of one line of label text in the form font. When empty, the text
    // is taken as avgCharWidth per byte.
    std::function<int(std::string_view)> textWidth;

    // cw = (maximum + 2 x average character width) / 3; bx, by = system
    // border width, height + 1.
    [[nodiscard]] static FormMetrics FromFont(int textHeight, int maxCharWidth, int avgCharWidth,
                                              int borderWidth, int borderHeight,
                                              std::function<int(std::string_view)> textWidth);
    int LineHeight() const { return th + 4 * by + 2; }
    int Gap() const { return bx; }
};

struct FormRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const FormRect&) const = default;
};

enum class FormControlKind {
    None,           // unknown data type: the place is kept, no control
    SingleLineEdit, // text, scrolls horizontally
    MultiLineEdit,  // text in a rectangle more than two text heights high
    NumberEdit,     // number or money: single line, right-aligned
    DateEdit,       // date: single line, left-aligned
    YesNoList,      // drop-down list "", "Yes", "No"
    DropList,       // drop-down list with a vertical scroll bar
    DropCombo,      // drop-down the user may type into
    StaticCaption,  // the caption, vertically centred, no prefix processing
};

enum class FormAlign { Left, Centre, Right };

struct FormFieldLayout {
    int field = -1; // index in the form's field list (control id 5000 + field)
    FormControlKind kind = FormControlKind::None;
    FormRect rect; // the visible rectangle
    bool explicitPosition = false;
    FormAlign align = FormAlign::Left; // edits and captions
    int textLimit = 0;                 // edits: 256 multi-line, 80 otherwise
    int dropHeight = 0;                // drop-downs: height of the list part
};

// One stretch of label text, painted single-line from (x, y), clipped at right.
struct FormLabelRun {
    int line = 0;
    int x = 0;
    int y = 0;
    int right = 0;
    std::string text;
};

struct FormLayout {
    std::vector<FormFieldLayout> fields; // one per field, in field order
    std::vector<FormLabelRun> labels;    // in line order, left to right
    int scrollWidth = 0;
    int scrollHeight = 0;
};

// No coordinate of a layout lies outside 0 .. kMaxFormExtent, whatever the
// file says.
constexpr int kMaxFormExtent = 32767;

[[nodiscard]] FormLayout ComputeFormLayout(const CWinMeta& form, const FormMetrics& m);

// The fields Tab and Enter visit, in reading order: by line (Y), then by
// column (X), then by field index. Captions, fields without a control and
// fields whose X is 0 are left out.
[[nodiscard]] std::vector<int> FormTabOrder(const CWinMeta& form);
// The field after current in that order, wrapping to the first; when current
// is not in the order itself, the first one after its place. -1 when no field
// takes the focus.
[[nodiscard]] int NextFieldInReadingOrder(const CWinMeta& form, int current);
// The field before current in that order (Shift+Tab), wrapping to the last;
// when current is not in the order itself, the last one before its place.
// -1 when no field takes the focus.
[[nodiscard]] int PreviousFieldInReadingOrder(const CWinMeta& form, int current);

// What the form calls a field, for the user's eye (the undo menu, the
// history, the find bar): the label text that stands before it on its line
// ("Vendor ID"), without a closing colon; for a field with no label of its
// own, the start of its help text; else its name.
[[nodiscard]] std::string FieldCaption(const CWinMeta& form, int field);

} // namespace kestrel
