// The layout of the forms built from form definitions: control rectangles
// and kinds, label runs, scroll size and the Tab order, checked against
// values worked out by hand from the layout rules with fixed metrics.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "edit/formlayout.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

using namespace kestrel;

namespace {

constexpr uint16_t kExplicit = 1u << 4;

// th 16, cw 9, bx 2, by 3: lh = 16 + 12 + 2 = 30, g = 2. Label text is
// measured at 7 pixels a byte, unlike cw and the average width (6), so a
// rectangle that took its label width from anywhere else shows it.
constexpr int kTextPerChar = 7;

FormMetrics TestMetrics()
{
    FormMetrics m;
    m.th = 16;
    m.cw = 9;
    m.avgCharWidth = 6;
    m.bx = 2;
    m.by = 3;
    m.textWidth = [](std::string_view s) { return static_cast<int>(s.size()) * kTextPerChar; };
    return m;
}

CFieldInfo* AddField(CWinMeta& form, int type, int x, int y, int w, int h = 0, uint16_t flags = 0)
{
    CFieldInfo* f = form.m_Fields.Add();
    f->m_iType = type;
    f->m_iX = x;
    f->m_iY = y;
    f->m_iCX = w;
    f->m_iCY = h;
    f->m_wFlags = flags;
    return f;
}

FormRect Rect(int left, int top, int right, int bottom)
{
    return FormRect{left, top, right, bottom};
}

// Line 0: "Name: " a text field of 10 at 6, " Amt " a money field of 6 at
// 21, " end". Line 1: "Pick" a drop-down list of 5 at 4.
std::unique_ptr<CWinMeta> TwoLineForm()
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"Name: " + std::string(10, ' ') + " Amt " + std::string(6, ' ') + " end",
                          "Pick" + std::string(5, ' ')};
    AddField(*form, FIELD_TEXT, 6, 0, 10);
    AddField(*form, FIELD_MONEY, 21, 0, 6);
    AddField(*form, FIELD_DROPLIST, 4, 1, 5);
    return form;
}

// -- Line layout ---------------------------------------------------------

TEST(FormLayoutLines, ControlFollowsItsLabelTextAndGap)
{
    auto form = TwoLineForm();
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    ASSERT_EQ(l.fields.size(), 3u);
    // x = cw = 9; "Name: " is 42 wide: left = 9 + 42 + 2; bottom = th + 4by;
    // right = left + 10 cw + 2 bx + one more cw.
    EXPECT_EQ(l.fields[0].rect, Rect(53, 0, 53 + 90 + 4 + 9, 28));
    // x = 156 + g; " Amt " is 35 wide: left = 158 + 35 + 2; 6 cw + 2 bx + cw.
    EXPECT_EQ(l.fields[1].rect, Rect(195, 0, 195 + 54 + 4 + 9, 28));
    // Line 1 starts again at cw, top lh; a drop-down is only th + 2 by high
    // and cw + 2 bx + th wider.
    EXPECT_EQ(l.fields[2].rect, Rect(39, 30, 39 + 45 + 4 + 29, 52));
    for (const FormFieldLayout& f : l.fields)
        EXPECT_FALSE(f.explicitPosition);
}

TEST(FormLayoutLines, FieldWithoutLabelTextKeepsTheStartOfLineHeight)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"", "", "ab"};
    AddField(*form, FIELD_TEXT, 0, 2, 3);   // X 0: no text before it
    AddField(*form, FIELD_NUMBER, 3, 2, 4); // right after it, still none
    AddField(*form, FIELD_DATE, 9, 2, 2);   // past the end of "ab"
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // top = 2 lh = 60; bottom = top + th + 2 by until text comes before a field.
    EXPECT_EQ(l.fields[0].rect, Rect(9, 60, 9 + 27 + 4 + 9, 82));
    EXPECT_EQ(l.fields[1].rect, Rect(51, 60, 51 + 36 + 4 + 9, 82));
    // Offset 7 < X 9, but the line ends at 2: nothing measured, the gap
    // still added, and the line's later controls are th + 4 by high.
    EXPECT_EQ(l.fields[2].rect, Rect(102 + 2, 60, 104 + 18 + 4 + 9, 88));
}

TEST(FormLayoutLines, DropDownsAreWiderAndCarryTheirListHeight)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"Ok?", "List", "Type"};
    AddField(*form, FIELD_YESNO, 3, 0, 3);
    AddField(*form, FIELD_DROPLIST, 4, 1, 2);
    AddField(*form, FIELD_DROPTYPE, 4, 2, 2);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].rect, Rect(32, 0, 32 + 27 + 4 + 29, 22));
    EXPECT_EQ(l.fields[1].rect, Rect(39, 30, 39 + 18 + 4 + 29, 52));
    EXPECT_EQ(l.fields[2].rect, Rect(39, 60, 39 + 18 + 4 + 29, 82));
    EXPECT_EQ(l.fields[0].kind, FormControlKind::YesNoList);
    EXPECT_EQ(l.fields[1].kind, FormControlKind::DropList);
    EXPECT_EQ(l.fields[2].kind, FormControlKind::DropCombo);
    EXPECT_EQ(l.fields[0].dropHeight, 4 * (3 + 16));
    EXPECT_EQ(l.fields[1].dropHeight, 10 * (3 + 16));
    EXPECT_EQ(l.fields[2].dropHeight, 10 * (3 + 16));
}

TEST(FormLayoutLines, ExplicitFieldBetweenTwoOfOneLineDoesNotRestartIt)
{
    auto form = TwoLineForm();
    // Move the money field behind an explicit one.
    form->m_Fields.RemoveAt(1);
    form->m_Fields.RemoveAt(1);
    AddField(*form, FIELD_TEXT, 40, 80, 8, 0, kExplicit);
    AddField(*form, FIELD_MONEY, 21, 0, 6);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[2].rect, Rect(195, 0, 262, 28));
}

TEST(FormLayoutLines, ALineThatComesBackStartsAgainAtTheLeft)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"A   B   ", "C   "};
    AddField(*form, FIELD_TEXT, 1, 0, 3);
    AddField(*form, FIELD_TEXT, 1, 1, 3);
    AddField(*form, FIELD_TEXT, 5, 0, 3); // back on line 0: offset 0 again
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // "A   B" is 35 wide from x = cw.
    EXPECT_EQ(l.fields[2].rect, Rect(9 + 35 + 2, 0, 46 + 27 + 4 + 9, 28));
}

// -- Explicit layout -----------------------------------------------------

TEST(FormLayoutExplicit, QuarterCharactersAndEighthsOfTheTextHeight)
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_NUMBER, 3, 3, 5, 12, kExplicit);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // left 3 * 9 / 4 = 6, top 3 * 16 / 8 = 6, width 45 / 4 = 11, height
    // 12 * 16 / 8 = 24; no line-layout extra.
    EXPECT_EQ(l.fields[0].rect, Rect(6, 6, 17, 30));
    EXPECT_TRUE(l.fields[0].explicitPosition);
    EXPECT_EQ(l.fields[0].kind, FormControlKind::NumberEdit);
}

TEST(FormLayoutExplicit, HeightZeroIsTakenAsTen)
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_TEXT, 8, 16, 40, 0, kExplicit);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].rect, Rect(18, 32, 18 + 90, 32 + 20));
    EXPECT_EQ(form->m_Fields[0]->m_iCY, 0); // the layout does not write back
}

TEST(FormLayoutExplicit, TextIsMultiLineOnlyWhenTallerThanTwoTextHeights)
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_TEXT, 0, 0, 40, 16, kExplicit);  // 32 high: not taller
    AddField(*form, FIELD_TEXT, 0, 40, 40, 17, kExplicit); // 34 high
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].rect.Height(), 32);
    EXPECT_EQ(l.fields[0].kind, FormControlKind::SingleLineEdit);
    EXPECT_EQ(l.fields[0].textLimit, 80);
    EXPECT_EQ(l.fields[1].rect.Height(), 34);
    EXPECT_EQ(l.fields[1].kind, FormControlKind::MultiLineEdit);
    EXPECT_EQ(l.fields[1].textLimit, 256);
}

TEST(FormLayoutExplicit, DropDownShowsOneLineWhateverItsHeight)
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_DROPTYPE, 4, 8, 20, 80, kExplicit);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].rect, Rect(9, 16, 9 + 45, 16 + 22));
    EXPECT_EQ(l.fields[0].dropHeight, 190);
}

// -- Control kinds -------------------------------------------------------

TEST(FormLayoutKinds, EditsAndCaptionsByDataType)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"a b c d e f g h"};
    const int types[] = {FIELD_TEXT,   FIELD_NUMBER, FIELD_MONEY,  FIELD_DATE,
                         FIELD_STATIC, FIELD_STATIC, FIELD_STATIC, FIELD_STATIC};
    const int justification[] = {0, 0, 0, 0, 2, 3, 1, 0};
    for (int i = 0; i < 8; ++i)
        AddField(*form, types[i], 2 * i + 1, 0, 1)->m_iListStart = justification[i];
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    const FormControlKind kinds[] = {FormControlKind::SingleLineEdit, FormControlKind::NumberEdit,
                                     FormControlKind::NumberEdit,     FormControlKind::DateEdit,
                                     FormControlKind::StaticCaption,  FormControlKind::StaticCaption,
                                     FormControlKind::StaticCaption,  FormControlKind::StaticCaption};
    const FormAlign aligns[] = {FormAlign::Left,   FormAlign::Right, FormAlign::Right, FormAlign::Left,
                                FormAlign::Centre, FormAlign::Right, FormAlign::Left,  FormAlign::Left};
    const int limits[] = {80, 80, 80, 80, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(l.fields[i].kind, kinds[i]);
        EXPECT_EQ(l.fields[i].align, aligns[i]);
        EXPECT_EQ(l.fields[i].textLimit, limits[i]);
        EXPECT_EQ(l.fields[i].dropHeight, 0);
    }
    // A caption gets no line-layout extra: 1 cw + 2 bx.
    EXPECT_EQ(l.fields[4].rect.Width(), 9 + 4);
}

TEST(FormLayoutKinds, UnknownTypeKeepsItsPlaceButGetsNoControl)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"a    b    "};
    AddField(*form, 0, 1, 0, 4);
    AddField(*form, FIELD_STATIC, 6, 0, 4);
    AddField(*form, 99, 400, 400, 40, 40, kExplicit); // far off: not in the scroll size
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].kind, FormControlKind::None);
    EXPECT_EQ(l.fields[2].kind, FormControlKind::None);
    // The unknown field: 9 + 7 + 2 = 18, 4 cw + 2 bx, no extra; the caption
    // follows it as if it had a control.
    EXPECT_EQ(l.fields[0].rect, Rect(18, 0, 18 + 36 + 4, 28));
    EXPECT_EQ(l.fields[1].rect, Rect(60 + 7 + 2, 0, 69 + 36 + 4, 28));
    EXPECT_EQ(l.scrollWidth, 109);
    EXPECT_EQ(l.scrollHeight, 30);
}

// -- Labels --------------------------------------------------------------

TEST(FormLayoutLabels, StretchesBetweenTheFieldsOfALine)
{
    auto form = TwoLineForm();
    form->m_LabelLines.push_back("");
    form->m_LabelLines.push_back("Heading");
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // y = (lh - th) / 2 + i lh - 2 = 5 + 30 i.
    ASSERT_EQ(l.labels.size(), 5u);
    const auto expect = [&](size_t k, int line, int x, int y, int right, const std::string& text) {
        SCOPED_TRACE(k);
        EXPECT_EQ(l.labels[k].line, line);
        EXPECT_EQ(l.labels[k].x, x);
        EXPECT_EQ(l.labels[k].y, y);
        EXPECT_EQ(l.labels[k].right, right);
        EXPECT_EQ(l.labels[k].text, text);
    };
    // Each stretch ends where the next control begins; the next starts at
    // that control's right edge + g; the rest runs 100 cw.
    expect(0, 0, 9, 5, 53, "Name: ");
    expect(1, 0, 158, 5, 195, " Amt ");
    expect(2, 0, 264, 5, 264 + 900, " end");
    expect(3, 1, 9, 35, 39, "Pick");
    // Line 2 is empty; a line without fields is one run from cw.
    expect(4, 3, 9, 95, 909, "Heading");
}

TEST(FormLayoutLabels, SearchStopsAtTheFirstFieldOfALaterLine)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"First   ", "Second   "};
    AddField(*form, FIELD_TEXT, 6, 1, 3); // line 1 before line 0 in the list
    AddField(*form, FIELD_TEXT, 5, 0, 3);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // The control of line 0 is still placed after its text ...
    EXPECT_EQ(l.fields[1].rect, Rect(9 + 35 + 2, 0, 46 + 27 + 4 + 9, 28));
    // ... but painting line 0 meets the line-1 field first and stops, so the
    // whole line is one run; line 1 is painted around its field.
    ASSERT_EQ(l.labels.size(), 2u);
    EXPECT_EQ(l.labels[0].text, "First   ");
    EXPECT_EQ(l.labels[0].x, 9);
    EXPECT_EQ(l.labels[1].text, "Second");
    EXPECT_EQ(l.labels[1].right, l.fields[0].rect.left);
}

TEST(FormLayoutLabels, EarlierLinesAndExplicitFieldsArePassedOver)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"A  ", "B  C  "};
    AddField(*form, FIELD_TEXT, 2, 1, 1);
    AddField(*form, FIELD_TEXT, 900, 900, 8, 0, kExplicit);
    AddField(*form, FIELD_TEXT, 1, 0, 2); // line 0 after line 1
    AddField(*form, FIELD_TEXT, 5, 1, 1);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    // Line 0 stops at once; line 1 skips the explicit and the line-0 field.
    ASSERT_EQ(l.labels.size(), 3u);
    EXPECT_EQ(l.labels[0].text, "A  ");
    EXPECT_EQ(l.labels[1].text, "B ");
    EXPECT_EQ(l.labels[2].text, "C ");
    EXPECT_EQ(l.labels[2].x, l.fields[0].rect.right + 2);
}

// -- Scroll size ---------------------------------------------------------

TEST(FormLayoutScroll, LabelLinesOrControlsWhicheverIsTaller)
{
    auto form = TwoLineForm();
    FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.scrollWidth, 262); // the money field's right edge
    EXPECT_EQ(l.scrollHeight, 60); // 2 lh is more than the drop-down's 52
    while (form->m_LabelLines.size() < 5)
        form->m_LabelLines.push_back("");
    l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.scrollHeight, 150);
    AddField(*form, FIELD_TEXT, 1200, 100, 8, 0, kExplicit);
    l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.scrollWidth, 2700 + 18);
    EXPECT_EQ(l.scrollHeight, 200 + 20);
}

TEST(FormLayoutScroll, EmptyFormScrollsOverItsLabelLinesOnly)
{
    CWinMeta form;
    FormLayout l = ComputeFormLayout(form, TestMetrics());
    EXPECT_EQ(l.scrollWidth, 0);
    EXPECT_EQ(l.scrollHeight, 0);
    EXPECT_TRUE(l.fields.empty());
    EXPECT_TRUE(l.labels.empty());
    form.m_LabelLines = {"x", "y", "z"};
    l = ComputeFormLayout(form, TestMetrics());
    EXPECT_EQ(l.scrollHeight, 90);
}

// -- Metrics -------------------------------------------------------------

TEST(FormLayoutMetrics, DerivedFromTheFont)
{
    const FormMetrics m = FormMetrics::FromFont(13, 11, 7, 1, 2, nullptr);
    EXPECT_EQ(m.cw, (11 + 14) / 3);
    EXPECT_EQ(m.bx, 2);
    EXPECT_EQ(m.by, 3);
    EXPECT_EQ(m.LineHeight(), 13 + 12 + 2);
    EXPECT_EQ(m.Gap(), 2);
}

TEST(FormLayoutMetrics, WithoutMeasuringLabelsTakeTheAverageWidth)
{
    auto form = TwoLineForm();
    FormMetrics m = TestMetrics();
    m.textWidth = nullptr;
    const FormLayout l = ComputeFormLayout(*form, m);
    EXPECT_EQ(l.fields[0].rect.left, 9 + 6 * 6 + 2);
}

// -- Tab order -----------------------------------------------------------

std::unique_ptr<CWinMeta> TabForm()
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_TEXT, 5, 1, 1);                   // 0
    AddField(*form, FIELD_TEXT, 10, 0, 1);                  // 1
    AddField(*form, FIELD_STATIC, 3, 0, 1);                 // 2: caption
    AddField(*form, FIELD_TEXT, 0, 0, 1);                   // 3: X 0
    AddField(*form, FIELD_NUMBER, 4, 2, 1);                 // 4
    AddField(*form, FIELD_DATE, 20, 0, 1);                  // 5
    AddField(*form, 0, 8, 1, 1);                            // 6: no control
    AddField(*form, FIELD_DROPLIST, 2, 1, 1, 0, kExplicit); // 7: by its X, Y too
    return form;
}

TEST(FormTabOrder, ByLineThenColumnSkippingCaptionsAndColumnZero)
{
    auto form = TabForm();
    EXPECT_EQ(FormTabOrder(*form), (std::vector<int>{1, 5, 7, 0, 4}));
}

TEST(FormTabOrder, NextWrapsToTheFirst)
{
    auto form = TabForm();
    EXPECT_EQ(NextFieldInReadingOrder(*form, 1), 5);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 5), 7);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 7), 0);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 0), 4);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 4), 1);
}

TEST(FormTabOrder, FromAFieldOutsideTheOrderGoesToTheNextAfterItsPlace)
{
    auto form = TabForm();
    EXPECT_EQ(NextFieldInReadingOrder(*form, 2), 1); // caption at (0, 3)
    EXPECT_EQ(NextFieldInReadingOrder(*form, 3), 1); // X 0 on line 0
    EXPECT_EQ(NextFieldInReadingOrder(*form, 6), 4); // no control at (1, 8)
    EXPECT_EQ(NextFieldInReadingOrder(*form, -1), 1);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 99), 1);
}

TEST(FormTabOrder, PreviousGoesBackAndWrapsToTheLast)
{
    auto form = TabForm();
    // Every field's next has that field as its previous.
    for (int field : FormTabOrder(*form))
        EXPECT_EQ(PreviousFieldInReadingOrder(*form, NextFieldInReadingOrder(*form, field)), field) << field;
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, 1), 4); // the first: wraps to the last
    // From outside the order: the last one before its place.
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, 6), 0); // no control at (8, 1)
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, 2), 4); // caption at (3, 0): before everything
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, 3), 4); // X 0 on line 0
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, -1), 4);
    EXPECT_EQ(PreviousFieldInReadingOrder(*form, 99), 4);
    EXPECT_EQ(PreviousFieldInReadingOrder(CWinMeta(), 0), -1);
}

TEST(FormTabOrder, FieldsAtOnePlaceAreVisitedInListOrder)
{
    auto form = std::make_unique<CWinMeta>();
    AddField(*form, FIELD_TEXT, 4, 0, 1);
    AddField(*form, FIELD_TEXT, 4, 0, 1);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 0), 1);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 1), 0);
}

TEST(FormTabOrder, NoFieldTakesTheFocus)
{
    auto form = std::make_unique<CWinMeta>();
    EXPECT_EQ(NextFieldInReadingOrder(*form, -1), -1);
    AddField(*form, FIELD_STATIC, 4, 0, 1);
    AddField(*form, FIELD_TEXT, 0, 1, 1);
    EXPECT_TRUE(FormTabOrder(*form).empty());
    EXPECT_EQ(NextFieldInReadingOrder(*form, 0), -1);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 1), -1);
    AddField(*form, FIELD_TEXT, 2, 1, 1);
    EXPECT_EQ(NextFieldInReadingOrder(*form, 2), 2); // the only one: itself
}

// -- Values from a hostile file -----------------------------------------

void ExpectSane(const FormLayout& l, const CWinMeta& form)
{
    ASSERT_EQ(l.fields.size(), static_cast<size_t>(form.m_Fields.GetSize()));
    for (const FormFieldLayout& f : l.fields) {
        EXPECT_GE(f.rect.left, 0);
        EXPECT_GE(f.rect.top, 0);
        EXPECT_LE(f.rect.left, f.rect.right);
        EXPECT_LE(f.rect.top, f.rect.bottom);
        EXPECT_LE(f.rect.right, kMaxFormExtent);
        EXPECT_LE(f.rect.bottom, kMaxFormExtent);
        EXPECT_GE(f.dropHeight, 0);
        EXPECT_LE(f.dropHeight, kMaxFormExtent);
    }
    for (const FormLabelRun& r : l.labels) {
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x, r.right);
        EXPECT_LE(r.right, kMaxFormExtent);
        EXPECT_LE(r.y, kMaxFormExtent);
        ASSERT_LT(static_cast<size_t>(r.line), form.m_LabelLines.size());
        EXPECT_NE(form.m_LabelLines[static_cast<size_t>(r.line)].find(r.text), std::string::npos);
    }
    EXPECT_LE(l.scrollWidth, kMaxFormExtent);
    EXPECT_LE(l.scrollHeight, kMaxFormExtent);
}

TEST(FormLayoutHostile, ExtremePositionsAndSizesStayInBounds)
{
    const int values[] = {INT_MIN, INT_MIN + 1, -100, -1, 0, 1, 7, 5000, INT_MAX - 1, INT_MAX};
    for (const uint16_t flags : {uint16_t(0), kExplicit, uint16_t(0xFFFF)}) {
        for (int type = -1; type <= 9; ++type) {
            auto form = std::make_unique<CWinMeta>();
            form->m_LabelLines = {"abc", "", "defghij"};
            for (int x : values)
                for (int y : values)
                    AddField(*form, type, x, y, x ^ y, static_cast<int>(int64_t{y} - x / 2), flags);
            SCOPED_TRACE(testing::Message() << "type " << type << " flags " << flags);
            ExpectSane(ComputeFormLayout(*form, TestMetrics()), *form);
            (void)FormTabOrder(*form);
            (void)NextFieldInReadingOrder(*form, 3);
            (void)PreviousFieldInReadingOrder(*form, 3);
        }
    }
}

TEST(FormLayoutHostile, HugeValuesClampToTheFormExtent)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"x"};
    AddField(*form, FIELD_TEXT, INT_MAX, INT_MAX, INT_MAX, INT_MAX, kExplicit);
    AddField(*form, FIELD_TEXT, INT_MIN, INT_MIN, INT_MIN, INT_MIN, kExplicit);
    AddField(*form, FIELD_TEXT, 1, 0, INT_MAX);
    AddField(*form, FIELD_TEXT, INT_MAX, 0, 4); // after a control at the extent
    AddField(*form, FIELD_TEXT, 1, INT_MAX, 4);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    EXPECT_EQ(l.fields[0].rect, Rect(kMaxFormExtent, kMaxFormExtent, kMaxFormExtent, kMaxFormExtent));
    EXPECT_EQ(l.fields[1].rect, Rect(0, 0, 0, 0));
    EXPECT_EQ(l.fields[2].rect, Rect(18, 0, kMaxFormExtent, 28));
    EXPECT_EQ(l.fields[3].rect.left, kMaxFormExtent);
    EXPECT_EQ(l.fields[4].rect.top, kMaxFormExtent);
    EXPECT_EQ(l.scrollWidth, kMaxFormExtent);
    EXPECT_EQ(l.scrollHeight, kMaxFormExtent);
}

TEST(FormLayoutHostile, LabelOffsetsBeyondTheLineMeasureWhatIsThere)
{
    auto form = std::make_unique<CWinMeta>();
    form->m_LabelLines = {"abcdefgh"};
    AddField(*form, FIELD_TEXT, 4, 0, -3);  // the offset goes back to 1
    AddField(*form, FIELD_TEXT, 6, 0, 100); // measures "bcdef"
    AddField(*form, FIELD_TEXT, 500, 0, 1); // offset 106: past the line
    AddField(*form, FIELD_TEXT, 2, 7, 1);   // a line the form does not have
    std::vector<std::string> measured;
    FormMetrics m = TestMetrics();
    m.textWidth = [&measured](std::string_view s) {
        measured.emplace_back(s);
        return static_cast<int>(s.size()) * kTextPerChar;
    };
    const FormLayout l = ComputeFormLayout(*form, m);
    EXPECT_EQ(measured, (std::vector<std::string>{"abcd", "bcdef"}));
    ExpectSane(l, *form);
    // Past the line nothing is measured but the gap keeps its place.
    EXPECT_EQ(l.fields[2].rect.left, l.fields[1].rect.right + 2 + 2);
}

TEST(FormLayoutHostile, MeasuringThatGivesNonsenseIsClamped)
{
    auto form = TwoLineForm();
    for (int width : {-1000, INT_MAX}) {
        FormMetrics m = TestMetrics();
        m.textWidth = [width](std::string_view) { return width; };
        const FormLayout l = ComputeFormLayout(*form, m);
        ExpectSane(l, *form);
    }
}

TEST(FormLayoutHostile, ManyLinesWithFieldsOutOfOrder)
{
    // Odd lines meet the next even line's field first and are painted
    // whole; even lines are painted around their field, passing over the
    // line-0 fields between them.
    auto form = std::make_unique<CWinMeta>();
    constexpr int kLines = 20000;
    for (int i = 0; i < kLines; ++i)
        form->m_LabelLines.push_back("ab  cd  ");
    for (int i = 0; i < kLines; ++i)
        AddField(*form, FIELD_TEXT, 2, i % 2 == 0 ? i : 0, 2);
    const FormLayout l = ComputeFormLayout(*form, TestMetrics());
    ExpectSane(l, *form);
    EXPECT_EQ(l.labels.size(), static_cast<size_t>(kLines / 2 * 2 + kLines / 2));
}

// -- The demo contract ---------------------------------------------------

bool Overlap(const FormRect& a, const FormRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Font metrics of a typical 8-point form font.
FormMetrics DemoMetrics()
{
    return FormMetrics::FromFont(13, 11, 5, 1, 1,
                                 [](std::string_view s) { return static_cast<int>(s.size()) * 6; });
}

void CheckDemoForm(const CWinMeta& form)
{
    const FormLayout l = ComputeFormLayout(form, DemoMetrics());
    ASSERT_EQ(l.fields.size(), static_cast<size_t>(form.m_Fields.GetSize()));
    ASSERT_GT(l.fields.size(), 5u);
    for (size_t i = 0; i < l.fields.size(); ++i) {
        SCOPED_TRACE(i);
        const FormRect& r = l.fields[i].rect;
        EXPECT_NE(l.fields[i].kind, FormControlKind::None);
        EXPECT_GT(r.Width(), 0);
        EXPECT_GT(r.Height(), 0);
        EXPECT_LE(r.right, l.scrollWidth);
        EXPECT_LE(r.bottom, l.scrollHeight);
        for (size_t j = i + 1; j < l.fields.size(); ++j)
            EXPECT_FALSE(Overlap(r, l.fields[j].rect)) << "overlaps field " << j;
    }
    // The painted runs with the fields' columns put back give the label
    // lines: no text is lost or painted twice.
    std::vector<std::string> rebuilt(form.m_LabelLines.size());
    for (const FormLabelRun& run : l.labels) {
        std::string& line = rebuilt[static_cast<size_t>(run.line)];
        for (const auto& f : form.m_Fields)
            if (f->m_iY == run.line && static_cast<int>(line.size()) == f->m_iX)
                line.append(static_cast<size_t>(f->m_iCX), ' ');
        line += run.text;
    }
    for (size_t i = 0; i < rebuilt.size(); ++i) {
        std::string& line = rebuilt[i];
        for (const auto& f : form.m_Fields)
            if (f->m_iY == static_cast<int>(i) && static_cast<int>(line.size()) == f->m_iX)
                line.append(static_cast<size_t>(f->m_iCX), ' ');
        EXPECT_EQ(line, form.m_LabelLines[i]) << "line " << i;
    }
    // The forms are drawn in reading order: Tab follows the field list.
    const std::vector<int> order = FormTabOrder(form);
    ASSERT_EQ(order.size(), l.fields.size());
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], static_cast<int>(i));
    EXPECT_EQ(NextFieldInReadingOrder(form, order.back()), 0);
}

TEST(FormLayoutDemo, SubcontractorAndMiscellaneousFormsLayOutCleanly)
{
    std::unique_ptr<CContract> contract;
    ASSERT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", contract), 0);
    ASSERT_TRUE(contract->m_pSubTable);
    ASSERT_TRUE(contract->m_pMiscTable);
    {
        SCOPED_TRACE("subcontractor form");
        CheckDemoForm(*contract->m_pSubTable);
    }
    {
        SCOPED_TRACE("miscellaneous form");
        CheckDemoForm(*contract->m_pMiscTable);
    }
}

} // namespace
