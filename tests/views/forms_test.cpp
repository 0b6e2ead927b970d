// The forms built from form definitions, on a miscellaneous-data form that
// holds a field of every kind: the controls and where they stand, storing
// on leaving, Tab and Enter, the validation messages (each told once, the
// focus taken back), numbers, amounts and dates as typed, drop-downs that
// hold list positions, fields kept in step, tooltips, required marks, the
// form font and forms larger than the view.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QToolTip>
#include <QUndoStack>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <memory>
#include <string>
#include <vector>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/dv_misc.h"
#include "views/formfield.h"
#include "views/formlabels.h"
#include "views/formtestsupport.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/greymultiedit.h"

namespace kestrel {
namespace {

using test::FieldDraft;
using test::FormDrawing;
using test::FormProgram;
using test::Q;

// The fields of the form, by index.
enum : int {
    KF_NAME,    // text, always required
    KF_COUNT,   // number, 6 wide: 3 integer digits
    KF_AMOUNT,  // money, 14 wide
    KF_WHEN,    // date
    KF_OK,      // yes/no
    KF_COLOUR,  // drop-down list on "Colours"
    KF_TYPED,   // drop-down with typing on "Colours", typed text matched
    KF_CODE,    // text on "Colours", columns 1-3
    KF_SHADE,   // drop-down list on "Tones"
    KF_CAPTION, // static caption, right-aligned
    KF_FREE,    // text at X 0: Tab passes it by
    KF_NOTES,   // text at an explicit place, several lines high
    KF_COUNT_OF_FIELDS
};

constexpr uint16_t kStored = 1u << 0;
constexpr uint16_t kMatchTyped = 1u << 3;
constexpr uint16_t kExplicit = 1u << 4;

void DrawKindsForm(CWinMeta& t)
{
    t.m_strFontFace = "MS Sans Serif";
    FormDrawing d(t);
    d.Line().Label("Name    ");
    d.Field({"NAME", FIELD_TEXT, 20, "", 0, 0, 0, kAlwaysRequired, "The name"});
    d.Label("  Count ");
    d.Field({"COUNT", FIELD_NUMBER, 6, "", 0, 0, 0, kNeverRequired, "How many"});
    d.Line().Label("Amount  ");
    d.Field({"AMOUNT", FIELD_MONEY, 14, "", 0, 0, 0, kNeverRequired, "How much"});
    d.Label("  When ");
    d.Field({"WHEN", FIELD_DATE, 10, "", 0, 0, 0, kNeverRequired, "The date"});
    d.Line().Label("OK      ");
    d.Field({"OK", FIELD_YESNO, 5, "", 0, 0, 0, kNeverRequired, "Yes or no"});
    d.Label("  Colour ");
    d.Field({"COLOUR", FIELD_DROPLIST, 12, "Colours", kStored, 0, 0, kNeverRequired, "A colour"});
    d.Line().Label("Typed   ");
    d.Field({"TYPED", FIELD_DROPTYPE, 12, "Colours", kStored | kMatchTyped, 0, 0, kNeverRequired, "Or type"});
    d.Label("  Code ");
    d.Field({"CODE", FIELD_TEXT, 5, "Colours", kStored, 1, 3, kNeverRequired, "Its code"});
    d.Line().Label("Shade   ");
    d.Field({"SHADE", FIELD_DROPLIST, 12, "Tones", kStored, 0, 0, kNeverRequired, "A shade"});
    d.Line().Label("  ");
    d.Field({"CAPTION", FIELD_STATIC, 20, "Totals follow", 0, 3, 0, kNeverRequired, ""});
    d.Line();
    d.Field({"FREE", FIELD_TEXT, 10, "", 0, 0, 0, kNeverRequired, "Free text"});
    CFieldInfo& notes = *t.m_Fields.Add();
    notes.m_wFlags = kExplicit;
    notes.m_iType = FIELD_TEXT;
    notes.m_iX = 8;    // quarter characters
    notes.m_iY = 160;  // eighths of the text height: below the label lines above
    notes.m_iCX = 240; // 60 characters
    notes.m_iCY = 40;  // five text heights
    notes.m_iRequired = kNeverRequired;
    notes.m_strName = "NOTES";
    notes.m_strHelp = "Notes";
    for (int i = 0; i < 8; ++i)
        d.Line();
}

// The subcontractor form: text fields, and a shade on a list that its data
// filter thins out (only the subcontractor form's filters are kept in a file).
constexpr int kSubShade = 20;

void DrawSubForm(CWinMeta& t)
{
    FormDrawing d(t);
    for (int i = 0; i < 24; ++i) {
        d.Line().Label("Field " + std::to_string(i) + " ");
        if (i == kSubShade)
            d.Field({"SHADE", FIELD_DROPLIST, 12, "Shades", kStored});
        else
            d.Field({i == SUBF_NAME ? "SubName" : "F" + std::to_string(i), FIELD_TEXT, 10});
    }
}

std::unique_ptr<CContract> KindsContract(int fontSize = 0)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("F-200");
    c->m_QuanFormat = NumberFormat{9, 3};
    c->m_UPFormat = NumberFormat{8, 2};
    c->m_ExtFormat = NumberFormat{11, 2};
    test::AddHeading(*c, "0001");
    test::AddItem(*c, "0010", 1000, 200); // the contract total: 200,000.00
    c->m_pSubTable = std::make_unique<CWinMeta>();
    DrawSubForm(*c->m_pSubTable);
    test::AddSub(*c, "Sub 1");
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    DrawKindsForm(*c->m_pMiscTable);
    c->m_pMiscTable->m_iFontSize = fontSize;
    *c->NewList("Colours", false) = {"RED Red", "GRN Green", "BLU Blue"};
    *c->NewList("Shades", false) = {"Dark Red", "XX Hidden", "Light Blue"};
    *c->NewList("Tones", false) = {"Pale", "Deep"};
    CDataFilter* filter = c->m_pSubTable->m_Filters.SetAt("Shades");
    filter->m_iStart = 1;
    filter->m_strPattern[0] = "Dark*";
    filter->m_strPattern[1] = "Light*";
    c->m_pMiscTable->AddRecord(-1, -1);
    FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
    c->RecalculateContract();
    return c;
}

LocalDateTime March12()
{
    LocalDateTime t;
    t.year = 2026;
    t.month = 3;
    t.day = 12;
    t.hour = 9;
    return t;
}

class KindsForm : public ::testing::Test {
protected:
    void SetUp() override { Open(KindsContract()); }
    void Open(std::unique_ptr<CContract> c)
    {
        ASSERT_TRUE(ui.Open(test::WriteContract(*c, ui.program.dir.file("K.CON"))));
        ui.program.Doc().Edits()->SetClock(March12);
        ui.ShowMisc();
        ASSERT_NE(Form(), nullptr);
    }
    CDV_Misc* Form() { return qobject_cast<CDV_Misc*>(ui.Form()); }
    CSubDoc& Doc() { return ui.program.Doc(); }
    CSubcontract& Record() { return *Doc().Contract()->m_pMiscTable->m_Records[0]; }
    std::string Cell(int field)
    {
        const Text* t = Record().GetCellText(field);
        return t ? std::string(TextView(*t)) : std::string();
    }
    int Position(int field) { return Record().GetCell(field)->m_i; }
    std::vector<test::ScriptedAsker::Question>& Asked() { return ui.program.asker.asked; }
    template <class T> T* Control(int field) { return qobject_cast<T*>(Form()->FieldControl(field)); }
    // Types into a field and leaves it for the tree.
    void Enter(int field, const QString& text)
    {
        ui.Type(field, text);
        ui.Leave();
    }

    FormProgram ui;
};

TEST_F(KindsForm, EachKindOfFieldHasItsControl)
{
    ASSERT_EQ(Form()->FieldCount(), KF_COUNT_OF_FIELDS);
    for (int f : {KF_NAME, KF_COUNT, KF_AMOUNT, KF_WHEN, KF_CODE, KF_FREE})
        EXPECT_NE(Control<CGreyEdit>(f), nullptr) << f;
    EXPECT_EQ(Control<CGreyEdit>(KF_NAME)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(Control<CGreyEdit>(KF_COUNT)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(Control<CGreyEdit>(KF_AMOUNT)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(Control<CGreyEdit>(KF_WHEN)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(Control<CGreyEdit>(KF_NAME)->maxLength(), 80);
    ASSERT_NE(Control<CGreyMultiEdit>(KF_NOTES), nullptr);
    EXPECT_EQ(Control<CGreyMultiEdit>(KF_NOTES)->TextLimit(), 256);

    CGreyComboBox* yesNo = Control<CGreyComboBox>(KF_OK);
    ASSERT_NE(yesNo, nullptr);
    EXPECT_FALSE(yesNo->isEditable());
    ASSERT_EQ(yesNo->count(), 3);
    EXPECT_EQ(yesNo->itemText(0), QString());
    EXPECT_EQ(yesNo->itemText(1), QStringLiteral("Yes"));
    EXPECT_EQ(yesNo->itemText(2), QStringLiteral("No"));
    EXPECT_FALSE(Control<CGreyComboBox>(KF_COLOUR)->isEditable());
    EXPECT_EQ(Control<CGreyComboBox>(KF_COLOUR)->count(), 3);
    ASSERT_TRUE(Control<CGreyComboBox>(KF_TYPED)->isEditable());
    EXPECT_NE(Control<CGreyComboBox>(KF_TYPED)->Edit(), nullptr);

    auto* caption = Control<QLabel>(KF_CAPTION);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), QStringLiteral("Totals follow"));
    EXPECT_EQ(caption->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(caption->textFormat(), Qt::PlainText);
    EXPECT_EQ(caption->focusPolicy(), Qt::NoFocus);

    // A text field on a list offers the list's entries as it is typed into.
    QCompleter* entries = Control<CGreyEdit>(KF_CODE)->completer();
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries->model()->rowCount(), 3);
    EXPECT_EQ(Control<CGreyEdit>(KF_NAME)->completer(), nullptr);
}

TEST_F(KindsForm, ControlsStandWhereTheLayoutPutsThem)
{
    const FormLayout& layout = Form()->Layout();
    const QPoint origin = Form()->Origin();
    for (int f : {KF_NAME, KF_COUNT, KF_AMOUNT, KF_WHEN, KF_CODE, KF_NOTES}) {
        const FormRect& r = layout.fields[static_cast<size_t>(f)].rect;
        EXPECT_EQ(Form()->FieldControl(f)->geometry(),
                  QRect(origin + QPoint(r.left, r.top), QSize(r.Width(), r.Height())))
            << f;
    }
    // The label text runs up to the control after it and starts after the
    // one before it; nothing overlaps.
    const QList<CFormLabels::Run>& runs = Form()->Labels()->Runs();
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_EQ(runs.front().text, QStringLiteral("Name    "));
    const QRect name = Form()->FieldControl(KF_NAME)->geometry();
    EXPECT_LE(runs.front().rect.right(), name.left());
    const QFontMetrics fm(Form()->FormFont());
    EXPECT_LE(fm.horizontalAdvance(runs.front().text), name.left() - runs.front().rect.left());
    for (int f = 0; f < KF_COUNT_OF_FIELDS; ++f) {
        for (int g = f + 1; g < KF_COUNT_OF_FIELDS; ++g) {
            if (QWidget* a = Form()->FieldControl(f); a && Form()->FieldControl(g)) {
                EXPECT_FALSE(a->geometry().intersects(Form()->FieldControl(g)->geometry())) << f << " " << g;
            }
        }
    }
    // Fields that start in the same column of their label lines line up.
    EXPECT_EQ(Form()->FieldControl(KF_NAME)->x(), Form()->FieldControl(KF_AMOUNT)->x());
    EXPECT_EQ(Form()->FieldControl(KF_NAME)->x(), Form()->FieldControl(KF_SHADE)->x());
    // A drop-down's text stands level with the edits and labels of its line.
    const QRect ok = Form()->FieldControl(KF_OK)->geometry();
    const QRect amount = Form()->FieldControl(KF_AMOUNT)->geometry();
    EXPECT_NEAR(ok.center().y() - ok.top(), amount.center().y() - amount.top() - Form()->BorderY(), 1);
}

TEST_F(KindsForm, AFieldIsStoredWhenItIsLeft)
{
    Enter(KF_NAME, QStringLiteral("Harrow & Lane"));
    EXPECT_EQ(Cell(KF_NAME), "Harrow & Lane");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().UndoStack().count(), 1);
    EXPECT_TRUE(Asked().empty());
    // Undone, the form shows the record as it was.
    Doc().UndoStack().undo();
    EXPECT_EQ(ui.Shown(KF_NAME), QString());
    EXPECT_FALSE(Doc().IsModified());
}

// Saving, checking, printing or closing while a field is being typed into:
// what was typed counts, as if the field had been left.
TEST_F(KindsForm, WhatIsBeingTypedIsStoredBeforeTheContractIsSaved)
{
    ui.Type(KF_NAME, QStringLiteral("Typed, not left"));
    ASSERT_EQ(ui.FocusedField(), KF_NAME);
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_TRUE(Doc().DoFileSave());
    EXPECT_EQ(Cell(KF_NAME), "Typed, not left");
    std::unique_ptr<CContract> saved;
    ASSERT_EQ(ReadContractFile(ui.program.dir.file("K.CON"), saved), 0);
    EXPECT_EQ(TextView(*saved->m_pMiscTable->m_Records[0]->GetCellText(KF_NAME)), "Typed, not left");
    // The question before closing sees a change typed and not yet left.
    ui.Type(KF_NAME, QStringLiteral("Typed again"));
    ui.program.asker.answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(Doc().SaveModified());
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].text, QStringLiteral("Save changes to K.CON?"));
    EXPECT_EQ(Cell(KF_NAME), "Typed again");
    // A wrong number typed is told once, and the save waits until it is
    // put right, the field keeping the focus.
    ui.Type(KF_COUNT, QStringLiteral("many"));
    EXPECT_FALSE(Doc().DoFileSave());
    ui.Settle();
    ASSERT_EQ(Asked().size(), 2u);
    EXPECT_EQ(Asked()[1].caption, QStringLiteral("Number Format Error"));
    EXPECT_EQ(Cell(KF_COUNT), "");
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
}

TEST_F(KindsForm, LeavingAFieldUnchangedStoresNothing)
{
    const auto before = WriteContractStream(*Doc().Contract());
    for (int f = 0; f < KF_COUNT_OF_FIELDS; ++f) {
        if (QWidget* c = Form()->FieldControl(f); c && c->focusPolicy() != Qt::NoFocus) {
            c->setFocus(Qt::MouseFocusReason);
            ui.Settle();
        }
    }
    ui.Leave();
    ui.Type(KF_NAME, QStringLiteral("x"));
    ui.Type(KF_NAME, QString()); // typed and taken back before leaving
    ui.Leave();
    EXPECT_EQ(WriteContractStream(*Doc().Contract()), before);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().UndoStack().count(), 0);
}

TEST_F(KindsForm, NumbersAndAmountsAreReadAndWrittenBack)
{
    Enter(KF_AMOUNT, QStringLiteral("1,234.5"));
    EXPECT_EQ(Cell(KF_AMOUNT), "$1,234.50");
    EXPECT_EQ(ui.Shown(KF_AMOUNT), QStringLiteral("$1,234.50"));
    // A share of the contract total: 15 % of 200,000.00.
    Enter(KF_AMOUNT, QStringLiteral("15%"));
    EXPECT_EQ(Cell(KF_AMOUNT), "$30,000.00");
    Enter(KF_COUNT, QStringLiteral("2*3"));
    EXPECT_EQ(Cell(KF_COUNT), "6.00");
    // Six wide holds three integer digits.
    Enter(KF_COUNT, QStringLiteral("1234"));
    EXPECT_NE(Cell(KF_COUNT).find('*'), std::string::npos);
    EXPECT_EQ(Cell(KF_COUNT).find_first_of("0123456789"), std::string::npos);
    // The same amount typed another way changes nothing, and the field
    // shows it as stored.
    const int steps = Doc().UndoStack().count();
    Enter(KF_AMOUNT, QStringLiteral("30000"));
    EXPECT_EQ(Doc().UndoStack().count(), steps);
    EXPECT_EQ(ui.Shown(KF_AMOUNT), QStringLiteral("$30,000.00"));
    EXPECT_TRUE(Asked().empty());
}

TEST_F(KindsForm, ANumberThatIsNoneIsToldOnceAndTheFocusComesBack)
{
    const auto before = WriteContractStream(*Doc().Contract());
    Enter(KF_COUNT, QStringLiteral("12abc"));
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].caption, QStringLiteral("Number Format Error"));
    EXPECT_EQ(Asked()[0].text, QStringLiteral("Not a valid number"));
    EXPECT_EQ(Asked()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
    EXPECT_EQ(Control<CGreyEdit>(KF_COUNT)->selectedText(), QStringLiteral("12abc"));
    EXPECT_EQ(WriteContractStream(*Doc().Contract()), before);
    // Tab with the text still wrong: told again, once; the focus stays.
    ui.Press(Qt::Key_Tab);
    ASSERT_EQ(Asked().size(), 2u);
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
    // Leaving for another field of the form: once more, and back.
    Form()->FieldControl(KF_AMOUNT)->setFocus(Qt::MouseFocusReason);
    ui.Settle();
    EXPECT_EQ(Asked().size(), 3u);
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
    Enter(KF_COUNT, QString());
    // An amount is read the same way.
    Enter(KF_AMOUNT, QStringLiteral("$"));
    EXPECT_EQ(Asked().size(), 3u); // empty once "$" is gone: nothing entered
    Enter(KF_AMOUNT, QStringLiteral("lots"));
    ASSERT_EQ(Asked().size(), 4u);
    EXPECT_EQ(Asked()[3].caption, QStringLiteral("Number Format Error"));
    EXPECT_EQ(WriteContractStream(*Doc().Contract()), before);
    EXPECT_FALSE(Doc().IsModified());
}

// A character the contract file cannot hold is told, named, and nothing is
// stored: it is never turned into "?".
TEST_F(KindsForm, ACharacterTheFileCannotHoldIsToldAndNothingStored)
{
    const auto before = WriteContractStream(*Doc().Contract());
    ui.Type(KF_NAME, QStringLiteral("Smith "));
    // Typed as a keyboard layout or an input method types it.
    QKeyEvent arrow(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\u2192"));
    QApplication::sendEvent(QApplication::focusWidget(), &arrow);
    ui.Leave();
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].caption, QStringLiteral("Text Error"));
    EXPECT_EQ(Asked()[0].text, QStringLiteral("The character U+2192 (character 7 of the text) cannot be "
                                              "stored in a contract file"));
    EXPECT_EQ(WriteContractStream(*Doc().Contract()), before);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(KindsForm, DatesInEveryFormTheMessageLists)
{
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"01/31/99", "01/31/99"}, {"Jan31", "01/31/26"}, {"31Jan99", "01/31/99"}, {"013199", "01/31/99"},
        {"01-31-99", "01/31/99"}, {"today", "03/12/26"}, {"T", "03/12/26"},       {"2/3/2024", "02/03/24"},
    };
    for (const auto& c : cases) {
        Enter(KF_WHEN, QString::fromLatin1(c.typed));
        EXPECT_EQ(Cell(KF_WHEN), c.stored) << c.typed;
        EXPECT_EQ(ui.Shown(KF_WHEN), QString::fromLatin1(c.stored)) << c.typed;
    }
    EXPECT_TRUE(Asked().empty());
    Enter(KF_WHEN, QStringLiteral("Smarch 3"));
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].caption, QStringLiteral("Date Format Error"));
    EXPECT_EQ(Asked()[0].text,
              QStringLiteral("Date must be in one of the following formats:\n01/31/99, Jan31, "
                             "31Jan99, 013199, 01-31-99, today"));
    EXPECT_EQ(Cell(KF_WHEN), "02/03/24");
    EXPECT_EQ(ui.FocusedField(), KF_WHEN);
    EXPECT_EQ(Control<CGreyEdit>(KF_WHEN)->selectedText(), QStringLiteral("Smarch 3"));
    // Emptied, the date is no date.
    Enter(KF_WHEN, QString());
    EXPECT_EQ(Cell(KF_WHEN), "");
}

TEST_F(KindsForm, DropDownsHoldListPositionsNotPlacesInTheBox)
{
    ui.ShowSub(0);
    CDV_Template* form = ui.Form();
    ASSERT_NE(form, nullptr);
    auto* shade = qobject_cast<CGreyComboBox*>(form->FieldControl(kSubShade));
    ASSERT_NE(shade, nullptr);
    // The filter leaves out the second entry of the list.
    ASSERT_EQ(shade->count(), 2);
    EXPECT_EQ(shade->itemText(1), QStringLiteral("Light Blue"));
    shade->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Down); // the first entry
    ui.Press(Qt::Key_Down); // the second in the box
    CSubcontract& sub = *Doc().Contract()->m_pSubTable->m_Records[0];
    EXPECT_EQ(sub.GetCell(kSubShade)->m_i, 2);
    EXPECT_EQ(TextView(*sub.GetCellText(kSubShade)), "Light Blue");
    EXPECT_EQ(shade->currentText(), QStringLiteral("Light Blue"));
    // Shown again (another record, then this one), the box finds the entry
    // by its position.
    ui.ShowMisc();
    ui.ShowSub(0);
    EXPECT_EQ(shade->currentIndex(), 1);
    // A yes/no box stores its position and text.
    ui.ShowMisc();
    Control<CGreyComboBox>(KF_OK)->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Down);
    EXPECT_EQ(Position(KF_OK), 1);
    EXPECT_EQ(Cell(KF_OK), "Yes");
    EXPECT_EQ(Doc().UndoStack().count(), 3);
}

// Scrolling the form with the wheel over a drop-down that does not have
// the focus scrolls the form; it never changes the choice.
TEST_F(KindsForm, TheWheelChangesOnlyADropDownThatHasTheFocus)
{
    CGreyComboBox* ok = Control<CGreyComboBox>(KF_OK);
    Form()->FieldControl(KF_NAME)->setFocus(Qt::MouseFocusReason);
    ui.Settle();
    const auto roll = [ok] {
        QWheelEvent wheel(QPointF(5, 5), ok->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ok, &wheel);
        FormProgram::Settle();
    };
    roll();
    EXPECT_EQ(ok->currentIndex(), 0);
    EXPECT_EQ(Doc().UndoStack().count(), 0);
    ok->setFocus(Qt::MouseFocusReason);
    roll();
    EXPECT_EQ(ok->currentIndex(), 1);
    EXPECT_EQ(Cell(KF_OK), "Yes");
}

TEST_F(KindsForm, FieldsOnOneListStayInStep)
{
    CGreyComboBox* colour = Control<CGreyComboBox>(KF_COLOUR);
    colour->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Down);
    ui.Press(Qt::Key_Down); // "GRN Green"
    EXPECT_EQ(Position(KF_COLOUR), 1);
    EXPECT_EQ(Position(KF_TYPED), 1);
    EXPECT_EQ(ui.Shown(KF_TYPED), QStringLiteral("GRN Green"));
    // The text field shows its own columns of the entry, read-only.
    EXPECT_EQ(ui.Shown(KF_CODE), QStringLiteral("GRN"));
    EXPECT_TRUE(Control<CGreyEdit>(KF_CODE)->isReadOnly());
    EXPECT_TRUE(Form()->FormField(KF_CODE)->IsReadOnly());
    // Typed into the drop-down and matched to the list.
    Enter(KF_TYPED, QStringLiteral("blu"));
    EXPECT_EQ(Position(KF_TYPED), 2);
    EXPECT_EQ(colour->currentText(), QStringLiteral("BLU Blue"));
    EXPECT_EQ(ui.Shown(KF_CODE), QStringLiteral("BLU"));
    // A text the list does not have: kept as typed, chosen from nothing; the
    // text field is emptied and writable again.
    Enter(KF_TYPED, QStringLiteral("Purple"));
    EXPECT_EQ(Position(KF_TYPED), -1);
    EXPECT_EQ(Cell(KF_TYPED), "Purple");
    EXPECT_EQ(ui.Shown(KF_TYPED), QStringLiteral("Purple"));
    EXPECT_EQ(colour->currentIndex(), -1);
    EXPECT_EQ(ui.Shown(KF_CODE), QString());
    EXPECT_FALSE(Control<CGreyEdit>(KF_CODE)->isReadOnly());
    EXPECT_EQ(Control<CGreyComboBox>(KF_TYPED)->count(), 3); // never added to the list
}

TEST_F(KindsForm, TabAndEnterMoveInReadingOrder)
{
    const std::vector<int> order = Form()->TabOrder();
    EXPECT_EQ(order, (std::vector<int>{KF_NAME, KF_COUNT, KF_AMOUNT, KF_WHEN, KF_OK, KF_COLOUR, KF_TYPED,
                                       KF_CODE, KF_SHADE, KF_NOTES}));
    // Tab from the name visits every field in that order and wraps.
    Form()->FieldControl(KF_NAME)->setFocus(Qt::MouseFocusReason);
    for (size_t i = 1; i <= order.size(); ++i) {
        ui.Press(Qt::Key_Tab);
        EXPECT_EQ(ui.FocusedField(), order[i % order.size()]) << i;
    }
    // Enter moves like Tab; Shift+Tab goes back, wrapping to the last.
    ui.Press(Qt::Key_Return);
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
    ui.Press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(ui.FocusedField(), KF_NAME);
    ui.Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(ui.FocusedField(), KF_NOTES);
    // The field Tab comes to has its whole text selected.
    Enter(KF_AMOUNT, QStringLiteral("12"));
    Form()->FieldControl(KF_COUNT)->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Tab);
    EXPECT_EQ(Control<CGreyEdit>(KF_AMOUNT)->selectedText(), QStringLiteral("$12.00"));
    // Enter in a typed field stores it before moving on.
    ui.Type(KF_NAME, QStringLiteral("Moved on"));
    ui.Press(Qt::Key_Enter);
    EXPECT_EQ(Cell(KF_NAME), "Moved on");
    EXPECT_EQ(ui.FocusedField(), KF_COUNT);
    // The field at X 0 takes the focus from the mouse only; Tab from it
    // goes on from its place in the reading order.
    EXPECT_EQ(Form()->FieldControl(KF_FREE)->focusPolicy(), Qt::ClickFocus);
    Form()->FieldControl(KF_FREE)->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Tab);
    EXPECT_EQ(ui.FocusedField(), KF_NOTES);
    // Qt's own focus chain follows the reading order too.
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* control = Form()->FieldControl(order[i]);
        QWidget* next = control->nextInFocusChain();
        while (next && (next->focusPolicy() == Qt::NoFocus || control->isAncestorOf(next)))
            next = next->nextInFocusChain();
        QWidget* expected = Form()->FieldControl(order[i + 1]);
        EXPECT_TRUE(next == expected || expected->isAncestorOf(next)) << i;
    }
}

TEST_F(KindsForm, ASeveralLineFieldTakesLinesWithCtrlEnter)
{
    ui.Type(KF_NOTES, QStringLiteral("first"));
    ui.Press(Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("second"));
    ui.Press(Qt::Key_Return);
    EXPECT_EQ(Cell(KF_NOTES), "first\nsecond");
    EXPECT_EQ(ui.FocusedField(), KF_NAME); // the last field: Enter wraps
    // No more than its 256 characters.
    ui.Type(KF_NOTES, QString(300, QLatin1Char('x')));
    EXPECT_EQ(Control<CGreyMultiEdit>(KF_NOTES)->toPlainText().size(), 256);
}

TEST_F(KindsForm, TooltipsShowTheHelpTextWhileTheOptionIsOn)
{
    EXPECT_EQ(Form()->ToolTipText(KF_COUNT), QStringLiteral("How many"));
    EXPECT_EQ(Form()->FieldControl(KF_COUNT)->toolTip(), QStringLiteral("How many"));
    QWidget* count = Form()->FieldControl(KF_COUNT);
    // What the tooltip shows after the mouse rests on the field: a tooltip
    // that is not shown leaves the one shown before.
    const auto ask = [count] {
        QToolTip::showText(count->mapToGlobal(QPoint(0, 0)), QStringLiteral("before"), count);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), count->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(count, &help);
        return QToolTip::text();
    };
    EXPECT_TRUE(Form()->ShowsToolTips());
    EXPECT_EQ(ask(), QStringLiteral("How many"));
    Doc().Settings().showTips = false;
    EXPECT_FALSE(Form()->ShowsToolTips());
    EXPECT_EQ(ask(), QStringLiteral("before"));
    Doc().Settings().showTips = true;
    EXPECT_EQ(ask(), QStringLiteral("How many"));
    QToolTip::hideText();
}

TEST(FormTooltips, DebugModeNamesTheFieldAndItsId)
{
    test::ProgramFixture debug({QStringLiteral("/Debug")});
    auto c = KindsContract();
    ASSERT_TRUE(debug.Doc().OpenDocument(test::WriteContract(*c, debug.dir.file("K.CON"))));
    debug.Tree().setCurrentItem(debug.Tree().FindKind(NODE_MISC_DATA));
    auto* form = qobject_cast<CDV_Misc*>(debug.Frame().View()->RightPane());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ToolTipText(KF_AMOUNT), QStringLiteral("Name:AMOUNT ID:5002 Help:How much"));
    EXPECT_EQ(form->FieldControl(KF_AMOUNT)->toolTip().replace(QLatin1Char('\n'), QLatin1Char(' ')),
              form->ToolTipText(KF_AMOUNT));
}

TEST_F(KindsForm, ALongHelpTextIsShownInLinesAtMost200PixelsWide)
{
    auto c = KindsContract();
    const std::string help = "The quantity the subcontractor quoted for this line, in the contract's unit, "
                             "before any allowance for waste; leave it empty to take the contract quantity";
    c->m_pMiscTable->m_Fields.GetAt(KF_COUNT)->m_strHelp = help;
    Open(std::move(c));
    const QString tip = Form()->FieldControl(KF_COUNT)->toolTip();
    const QStringList lines = tip.split(QLatin1Char('\n'));
    EXPECT_GT(lines.size(), 2);
    const QFontMetrics metrics(QToolTip::font());
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), 200) << line.toStdString();
    // Broken only between words: nothing of the help text is lost.
    EXPECT_EQ(lines.join(QLatin1Char(' ')), QString::fromStdString(help));
}

TEST_F(KindsForm, RequiredEmptyFieldsAreMarked)
{
    EXPECT_EQ(Form()->MarkedFields(), std::vector<int>{KF_NAME});
    Enter(KF_NAME, QStringLiteral("Named"));
    EXPECT_TRUE(Form()->MarkedFields().empty());
    Enter(KF_NAME, QString());
    EXPECT_EQ(Form()->MarkedFields(), std::vector<int>{KF_NAME});
}

TEST(FormFont, TheFormScalesWithItsFont)
{
    const auto widthAt = [](int size) {
        FormProgram ui;
        auto c = KindsContract(size);
        EXPECT_TRUE(ui.Open(test::WriteContract(*c, ui.program.dir.file("S.CON"))));
        ui.ShowMisc();
        CDV_Template* form = ui.Form();
        EXPECT_EQ(qRound(form->FormFont().pointSizeF()), size);
        return std::pair<int, int>(form->FieldControl(KF_NAME)->width(), form->FieldControl(KF_NOTES)->y());
    };
    const auto small = widthAt(9);
    const auto large = widthAt(18);
    EXPECT_NEAR(double(large.first) / small.first, 2.0, 0.3);
    EXPECT_NEAR(double(large.second) / small.second, 2.0, 0.3);
}

TEST(FormFont, AFaceTheSystemLacksHasAStandIn)
{
    const QStringList families = CDV_Template::FontFamilies(QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(families.front(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(families.back(), QApplication::font().family());
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) {
        EXPECT_TRUE(families.contains(QStringLiteral("Liberation Sans")));
    }
    EXPECT_EQ(CDV_Template::FontFamilies(QString()), QStringList{QApplication::font().family()});
}

TEST_F(KindsForm, AFormLargerThanTheViewScrolls)
{
    ui.program.Frame().resize(700, 300);
    ui.Settle();
    QScrollBar* down = Form()->verticalScrollBar();
    EXPECT_GT(down->maximum(), 0);
    EXPECT_GT(Form()->horizontalScrollBar()->maximum(), 0);
    // Tab to a field below the view scrolls it into sight.
    Form()->FieldControl(KF_SHADE)->setFocus(Qt::MouseFocusReason);
    down->setValue(0);
    ui.Press(Qt::Key_Tab);
    EXPECT_EQ(ui.FocusedField(), KF_NOTES);
    EXPECT_GT(down->value(), 0);
}

// A form of more than 100 fields: every field stores when it is left.
TEST(ManyFields, EveryFieldOfALargeFormStores)
{
    auto c = KindsContract();
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    FormDrawing d(*c->m_pMiscTable);
    for (int i = 0; i < 120; ++i) {
        d.Line().Label("Field " + std::to_string(i) + " ");
        d.Field({"F" + std::to_string(i), FIELD_TEXT, 10});
    }
    c->m_pMiscTable->AddRecord(-1, -1);
    FormProgram ui;
    ASSERT_TRUE(ui.Open(test::WriteContract(*c, ui.program.dir.file("M.CON"))));
    ui.ShowMisc();
    ASSERT_EQ(ui.Form()->FieldCount(), 120);
    ui.Type(110, QStringLiteral("one hundred and ten"));
    ui.Leave();
    const Text* stored = ui.program.Doc().Contract()->m_pMiscTable->m_Records[0]->GetCellText(110);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(TextView(*stored), "one hundred and ten");
    ui.Type(119, QStringLiteral("last"));
    ui.Press(Qt::Key_Tab);
    EXPECT_EQ(ui.FocusedField(), 0);
    EXPECT_EQ(TextView(*ui.program.Doc().Contract()->m_pMiscTable->m_Records[0]->GetCellText(119)), "last");
}

TEST(MissingLists, AListThatCannotBeReadIsToldWhenWarnRefIsOn)
{
    auto c = KindsContract();
    FormDrawing d(*c->m_pMiscTable);
    d.Line().Label("Gone ");
    d.Field({"GONE", FIELD_DROPLIST, 10, "NOFILE.LST:GONE"});
    d.Label(" Also ");
    d.Field({"ALSO", FIELD_DROPLIST, 10, "NOFILE.LST:GONE"});
    for (const bool warn : {true, false}) {
        FormProgram ui;
        ui.program.Doc().Settings().warnRef = warn;
        ASSERT_TRUE(ui.Open(test::WriteContract(*c, ui.program.dir.file("W.CON"))));
        ui.program.asker.asked.clear();
        ui.ShowMisc();
        ASSERT_NE(ui.Form(), nullptr);
        const auto& asked = ui.program.asker.asked;
        if (!warn) {
            EXPECT_TRUE(asked.empty());
            continue;
        }
        // Both fields name the file: told once.
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("Cannot open the file")))
            << asked[0].text.toStdString();
        EXPECT_TRUE(asked[0].text.contains(QStringLiteral("NOFILE.LST")));
        // The field has an empty list.
        EXPECT_EQ(qobject_cast<QComboBox*>(ui.Form()->FieldControl(KF_COUNT_OF_FIELDS))->count(), 0);
    }
}

} // namespace
} // namespace kestrel
