#pragma once
// What the tests of the forms built from form definitions share: a form
// definition drawn line by line as the agency's forms are (label text, then
// a field after it), and the program with a form shown, typed into with
// real key presses.

#include <QString>

#include <cstdint>
#include <string>

#include "app/guitestsupport.h"

class QWidget;

namespace kestrel {
class CDV_Template;
class CFieldInfo;
class CSubView;
class CWinMeta;
} // namespace kestrel

namespace kestrel::test {

// One field of a form definition.
struct FieldDraft {
    std::string name;
    int type = 1;
    int width = 10;
    std::string source = {}; // list source (type 8: the caption)
    uint16_t flags = 0;
    int listStart = 0; // type 8: the justification
    int listEnd = 0;
    int required = 20000; // never
    std::string help = {};
};

// Draws a form definition: each Line() starts a label line, Label() extends
// it, Field() places a field after the text so far and covers its width
// with blanks.
class FormDrawing {
public:
    explicit FormDrawing(CWinMeta& table) : m_table(table) {}
    FormDrawing& Line();
    FormDrawing& Label(const std::string& text);
    CFieldInfo& Field(const FieldDraft& draft);

private:
    CWinMeta& m_table;
};

// The program with a contract open and its window active, so that focus
// changes are delivered as a user makes them.
class FormProgram {
public:
    FormProgram() = default;
    // Opens the file (false when it could not be opened) and activates the
    // main window.
    bool Open(const QString& path);
    CSubView& View();
    // The form the right pane shows, null when it is none.
    CDV_Template* Form();
    // Chooses the tree node of a kind (the first one) or a subcontractor.
    void ShowMisc();
    void ShowSub(int row);
    // Puts the focus into a field's control and types the text over what it
    // holds, key by key.
    void Type(int field, const QString& text);
    // Leaves the field that has the focus for the tree (a click elsewhere).
    void Leave();
    // A key on the widget that has the focus.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The field whose control has the focus, -1 for none.
    int FocusedField();
    // The text a field's control shows.
    QString Shown(int field);
    // Lets posted events (a refusal told after the focus change) run.
    static void Settle();

    ProgramFixture program;
};

} // namespace kestrel::test
