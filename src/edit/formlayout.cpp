#include "edit/formlayout.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <tuple>
#include <utility>

#include "model/subcontract/fieldinfo.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

using i64 = int64_t;

// Field flag bit 4: the field has an explicit position.
constexpr uint16_t kExplicitPosition = 1u << 4;
// Explicit height in eighths of the text height when the field gives 0.
constexpr i64 kDefaultExplicitHeight = 10;
// The rest of a label line after its last field is painted this many
// character widths wide.
constexpr i64 kRestOfLineChars = 100;
constexpr int kMultiLineLimit = 256;
constexpr int kSingleLineLimit = 80;
// Font metrics beyond this are not a font; they are clamped so that no
// product of a metric and a 32-bit value from the file can overflow.
constexpr i64 kMaxMetric = 4096;

int Clamp(i64 v, i64 lo = 0, i64 hi = kMaxFormExtent)
{
    return static_cast<int>(std::clamp(v, lo, hi));
}

FormRect MakeRect(i64 left, i64 top, i64 right, i64 bottom)
{
    FormRect r;
    r.left = Clamp(left);
    r.top = Clamp(top);
    r.right = Clamp(right, r.left);
    r.bottom = Clamp(bottom, r.top);
    return r;
}

// The metrics in 64 bits, within sane bounds.
struct Metrics {
    explicit Metrics(const FormMetrics& m)
        : th(std::clamp<i64>(m.th, 0, kMaxMetric)), cw(std::clamp<i64>(m.cw, 0, kMaxMetric)),
          avg(std::clamp<i64>(m.avgCharWidth, 0, kMaxMetric)), bx(std::clamp<i64>(m.bx, 0, kMaxMetric)),
          by(std::clamp<i64>(m.by, 0, kMaxMetric)), lh(th + 4 * by + 2), g(bx), measure(m.textWidth)
    {
    }

    i64 TextWidth(std::string_view text) const
    {
        if (text.empty())
            return 0;
        const i64 w = measure ? measure(text) : static_cast<i64>(text.size()) * avg;
        return std::clamp<i64>(w, 0, kMaxFormExtent);
    }

    i64 th, cw, avg, bx, by, lh, g;
    const std::function<int(std::string_view)>& measure;
};

bool HasExplicitPosition(const CFieldInfo& f)
{
    return (f.m_wFlags & kExplicitPosition) != 0;
}

bool IsKnownType(int32_t type)
{
    return type >= FIELD_TEXT && type <= FIELD_STATIC;
}

bool IsDropDown(int32_t type)
{
    return type >= FIELD_YESNO && type <= FIELD_DROPTYPE;
}

bool IsEdit(int32_t type)
{
    return type >= FIELD_TEXT && type <= FIELD_DATE;
}

// The label text of a line; empty for a line the form does not have.
std::string_view LabelLine(const CWinMeta& form, i64 line)
{
    if (line < 0 || line >= static_cast<i64>(form.m_LabelLines.size()))
        return {};
    return form.m_LabelLines[static_cast<size_t>(line)];
}

// The characters from offset from up to (not including) offset to, as far as
// the text has them.
std::string_view Slice(std::string_view text, i64 from, i64 to)
{
    const i64 size = static_cast<i64>(text.size());
    from = std::clamp<i64>(from, 0, size);
    to = std::clamp<i64>(to, from, size);
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// Where the next line-layout field goes.
struct LineCursor {
    bool started = false;
    i64 line = 0;
    i64 x = 0;
    i64 top = 0;
    i64 bottom = 0;
    i64 offset = 0; // label characters laid out so far
};

// Line layout widens edits by one character and drop-downs by their button.
i64 LineLayoutExtra(int32_t type, const Metrics& m)
{
    if (IsEdit(type))
        return m.cw;
    if (IsDropDown(type))
        return m.cw + 2 * m.bx + m.th;
    return 0;
}

i64 DropDownHeight(int32_t type, const Metrics& m)
{
    if (type == FIELD_YESNO)
        return 4 * (m.by + m.th);
    return IsDropDown(type) ? 10 * (m.by + m.th) : 0;
}

FormRect ExplicitRect(const CFieldInfo& f, const Metrics& m)
{
    const i64 h = f.m_iCY == 0 ? kDefaultExplicitHeight : f.m_iCY;
    const i64 left = f.m_iX * m.cw / 4;
    const i64 top = f.m_iY * m.th / 8;
    i64 bottom = top + h * m.th / 8;
    if (IsDropDown(f.m_iType))
        bottom = top + m.th + 2 * m.by;
    return MakeRect(left, top, left + f.m_iCX * m.cw / 4, bottom);
}

// Places the field after the label text that comes before it on its line.
FormRect LineRect(const CWinMeta& form, const CFieldInfo& f, const Metrics& m, LineCursor& c)
{
    if (!c.started || c.line != f.m_iY) {
        c = LineCursor{true, f.m_iY, m.cw, m.lh * f.m_iY, 0, 0};
        c.bottom = c.top + m.th + 2 * m.by;
    }
    i64 left = c.x;
    if (c.offset < f.m_iX) {
        left = c.x + m.TextWidth(Slice(LabelLine(form, c.line), c.offset, f.m_iX)) + m.g;
        c.bottom = c.top + m.th + 4 * m.by;
    }
    const i64 right = left + f.m_iCX * m.cw + 2 * m.bx + LineLayoutExtra(f.m_iType, m);
    const i64 bottom = IsDropDown(f.m_iType) ? c.top + m.th + 2 * m.by : c.bottom;
    const FormRect r = MakeRect(left, c.top, right, bottom);
    // The next label text starts after the control as it is drawn, extras
    // included, so that painting the labels finds the same places.
    c.offset = static_cast<i64>(f.m_iX) + f.m_iCX;
    c.x = static_cast<i64>(r.right) + m.g;
    return r;
}

void SetControlKind(const CFieldInfo& f, const Metrics& m, FormFieldLayout& out)
{
    switch (f.m_iType) {
    case FIELD_TEXT:
        if (out.rect.Height() > 2 * m.th) {
            out.kind = FormControlKind::MultiLineEdit;
            out.textLimit = kMultiLineLimit;
        } else {
            out.kind = FormControlKind::SingleLineEdit;
            out.textLimit = kSingleLineLimit;
        }
        break;
    case FIELD_NUMBER:
    case FIELD_MONEY:
        out.kind = FormControlKind::NumberEdit;
        out.align = FormAlign::Right;
        out.textLimit = kSingleLineLimit;
        break;
    case FIELD_DATE:
        out.kind = FormControlKind::DateEdit;
        out.textLimit = kSingleLineLimit;
        break;
    case FIELD_YESNO: out.kind = FormControlKind::YesNoList; break;
    case FIELD_DROPLIST: out.kind = FormControlKind::DropList; break;
    case FIELD_DROPTYPE: out.kind = FormControlKind::DropCombo; break;
    case FIELD_STATIC:
        out.kind = FormControlKind::StaticCaption;
        // For captions the list start holds the justification.
        out.align = f.m_iListStart == 2   ? FormAlign::Centre
                    : f.m_iListStart == 3 ? FormAlign::Right
                                          : FormAlign::Left;
        break;
    default: out.kind = FormControlKind::None; break;
    }
    out.dropHeight = Clamp(DropDownHeight(f.m_iType, m));
}

void LayOutFields(const CWinMeta& form, const Metrics& m, FormLayout& layout)
{
    LineCursor cursor;
    const int count = form.m_Fields.GetSize();
    layout.fields.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const CFieldInfo& f = *form.m_Fields.GetAt(i);
        FormFieldLayout out;
        out.field = i;
        out.explicitPosition = HasExplicitPosition(f);
        out.rect = out.explicitPosition ? ExplicitRect(f, m) : LineRect(form, f, m, cursor);
        SetControlKind(f, m, out);
        layout.fields.push_back(out);
    }
}

void AddLabelRun(FormLayout& layout, i64 line, i64 x, i64 y, i64 right, std::string_view text)
{
    if (text.empty())
        return;
    const int left = Clamp(x);
    layout.labels.push_back(
        FormLabelRun{Clamp(line, 0, INT32_MAX), left, Clamp(y), Clamp(right, left), std::string(text)});
}

// Paints line i from the field list, as the form's drawing does: the fields
// in list order, skipping those of earlier lines and stopping at the first of
// a later line. first is the index of the first field that may belong to line
// i or a later one; every field before it is of an earlier line or placed
// explicitly.
void LayOutLabelLine(const CWinMeta& form, const Metrics& m, i64 i, size_t first, FormLayout& layout)
{
    const std::string_view text = LabelLine(form, i);
    const i64 y = (m.lh - m.th) / 2 + i * m.lh - 2;
    i64 x = m.cw;
    i64 offset = 0;
    for (size_t j = first; j < layout.fields.size(); ++j) {
        const CFieldInfo& f = *form.m_Fields.GetAt(static_cast<int>(j));
        if (layout.fields[j].explicitPosition || f.m_iY < i)
            continue;
        if (f.m_iY > i)
            break;
        const FormRect& r = layout.fields[j].rect;
        if (offset < f.m_iX)
            AddLabelRun(layout, i, x, y, r.left, Slice(text, offset, f.m_iX));
        offset = static_cast<i64>(f.m_iX) + f.m_iCX;
        x = static_cast<i64>(r.right) + m.g;
    }
    AddLabelRun(layout, i, x, y, x + kRestOfLineChars * m.cw,
                Slice(text, offset, static_cast<i64>(text.size())));
}

void LayOutLabels(const CWinMeta& form, const Metrics& m, FormLayout& layout)
{
    size_t first = 0;
    const i64 lines = static_cast<i64>(form.m_LabelLines.size());
    for (i64 i = 0; i < lines; ++i) {
        // Fields of earlier lines before the first one of this line or a
        // later one are skipped by every later line too; each field is
        // looked at a bounded number of times however the lines are ordered.
        while (first < layout.fields.size() && (layout.fields[first].explicitPosition ||
                                                form.m_Fields.GetAt(static_cast<int>(first))->m_iY < i))
            ++first;
        if (!LabelLine(form, i).empty())
            LayOutLabelLine(form, m, i, first, layout);
    }
}

void ComputeScrollSize(const CWinMeta& form, const Metrics& m, FormLayout& layout)
{
    // The form scrolls from its origin, so the union of the controls is
    // taken together with the origin: the last control's right and bottom
    // edges are reached.
    i64 right = 0;
    i64 bottom = 0;
    for (const FormFieldLayout& f : layout.fields) {
        if (f.kind == FormControlKind::None)
            continue;
        right = std::max<i64>(right, f.rect.right);
        bottom = std::max<i64>(bottom, f.rect.bottom);
    }
    const i64 labelHeight = m.lh * static_cast<i64>(form.m_LabelLines.size());
    layout.scrollWidth = Clamp(right);
    layout.scrollHeight = Clamp(std::max(bottom, labelHeight));
}

bool TakesFocus(const CFieldInfo& f)
{
    return IsKnownType(f.m_iType) && f.m_iType != FIELD_STATIC && f.m_iX != 0;
}

using ReadingKey = std::tuple<int32_t, int32_t, int>;

ReadingKey KeyOf(const CWinMeta& form, int field)
{
    const CFieldInfo& f = *form.m_Fields.GetAt(field);
    return {f.m_iY, f.m_iX, field};
}

} // namespace

FormMetrics FormMetrics::FromFont(int textHeight, int maxCharWidth, int avgCharWidth, int borderWidth,
                                  int borderHeight, std::function<int(std::string_view)> textWidth)
{
    FormMetrics m;
    m.th = textHeight;
    m.cw = (maxCharWidth + 2 * avgCharWidth) / 3;
    m.avgCharWidth = avgCharWidth;
    m.bx = borderWidth + 1;
    m.by = borderHeight + 1;
    m.textWidth = std::move(textWidth);
    return m;
}

FormLayout ComputeFormLayout(const CWinMeta& form, const FormMetrics& metrics)
{
    const Metrics m(metrics);
    FormLayout layout;
    LayOutFields(form, m, layout);
    LayOutLabels(form, m, layout);
    ComputeScrollSize(form, m, layout);
    return layout;
}

std::vector<int> FormTabOrder(const CWinMeta& form)
{
    std::vector<int> order;
    for (int i = 0; i < form.m_Fields.GetSize(); ++i)
        if (TakesFocus(*form.m_Fields.GetAt(i)))
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&form](int a, int b) { return KeyOf(form, a) < KeyOf(form, b); });
    return order;
}

namespace {

// The field after (or before) current in reading order, wrapping around.
// Reading the order backwards, the first field before current's place is
// the first field after it.
template <class Iterator, class Comes>
int StepInOrder(const CWinMeta& form, int current, Iterator first, Iterator last, Comes comes)
{
    if (first == last)
        return -1;
    if (current < 0 || current >= form.m_Fields.GetSize())
        return *first;
    const ReadingKey key = KeyOf(form, current);
    const auto next = std::find_if(first, last, [&](int field) { return comes(KeyOf(form, field), key); });
    return next == last ? *first : *next;
}

} // namespace

int NextFieldInReadingOrder(const CWinMeta& form, int current)
{
    const std::vector<int> order = FormTabOrder(form);
    return StepInOrder(form, current, order.begin(), order.end(), std::greater<ReadingKey>());
}

int PreviousFieldInReadingOrder(const CWinMeta& form, int current)
{
    const std::vector<int> order = FormTabOrder(form);
    return StepInOrder(form, current, order.rbegin(), order.rend(), std::less<ReadingKey>());
}

namespace {

// Longest caption taken from a help text.
constexpr size_t kMaxHelpCaption = 40;

std::string_view TrimCaption(std::string_view text)
{
    constexpr std::string_view kLoose = " \t:";
    const size_t first = text.find_first_not_of(kLoose);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kLoose) - first + 1);
}

// The label text between the field before this one on its line and it.
std::string_view LabelBefore(const CWinMeta& form, const CFieldInfo& f)
{
    if (HasExplicitPosition(f))
        return {};
    i64 from = 0;
    for (const auto& other : form.m_Fields)
        if (other.get() != &f && !HasExplicitPosition(*other) && other->m_iY == f.m_iY &&
            other->m_iX < f.m_iX)
            from = std::max<i64>(from, i64{other->m_iX} + other->m_iCX);
    return TrimCaption(Slice(LabelLine(form, f.m_iY), from, f.m_iX));
}

// The help text up to its first clause, cut at a word when it is long.
std::string HelpCaption(std::string_view help)
{
    std::string_view text = TrimCaption(help.substr(0, help.find_first_of(",;(.")));
    if (text.size() <= kMaxHelpCaption)
        return std::string(text);
    const size_t blank = text.rfind(' ', kMaxHelpCaption);
    return std::string(
               TrimCaption(text.substr(0, blank == std::string_view::npos ? kMaxHelpCaption : blank))) +
           "...";
}

} // namespace

std::string FieldCaption(const CWinMeta& form, int field)
{
    const CFieldInfo* f = form.m_Fields.GetAt(field);
    if (!f)
        return "Field " + std::to_string(field);
    if (const std::string_view label = LabelBefore(form, *f); !label.empty())
        return std::string(label);
    if (std::string help = HelpCaption(f->m_strHelp.View()); !help.empty())
        return help;
    if (!f->m_strName.View().empty())
        return std::string(f->m_strName.View());
    return "Field " + std::to_string(field);
}

} // namespace kestrel
