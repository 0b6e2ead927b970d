// Every input of the program's windows has a name a screen reader can say:
// the views of every node of the demo contract, the find bar, the check
// panel and the dialogs, walked through the accessibility tree.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QSet>
#include <QTreeWidgetItemIterator>

#include "app/guitestsupport.h"
#include "app/kvlload.h"
#include "app/mainframe.h"
#include "app/optionssheet.h"
#include "app/quoteimportdlg.h"
#include "app/subdoc.h"
#include "app/suberrors.h"
#include "app/subtreeview.h"
#include "exchange/quotesheet.h"

namespace kestrel {
namespace {

using test::ProgramFixture;

bool IsInput(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Cell:
    case QAccessible::TreeItem:
    case QAccessible::ListItem:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table: return true;
    default: return false;
    }
}

// The role and the nearest named widget around it.
QString Where(QAccessibleInterface* iface, QObject* owner)
{
    return QStringLiteral("role %1 in %2")
        .arg(int(iface->role()))
        .arg(owner ? owner->objectName() : QString());
}

// The inputs in sight that have no name.
void Walk(QAccessibleInterface* iface, QStringList& unnamed, QObject* owner = nullptr, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 60 || iface->state().invisible)
        return;
    if (QObject* object = iface->object(); object && !object->objectName().isEmpty())
        owner = object;
    if (IsInput(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << Where(iface, owner);
    for (int i = 0; i < iface->childCount(); ++i)
        Walk(iface->child(i), unnamed, owner, depth + 1);
}

// Role and widget of each, joined for the failure message.
std::string UnnamedInputs(QWidget& window)
{
    QStringList unnamed;
    Walk(QAccessible::queryAccessibleInterface(&window), unnamed);
    unnamed.removeDuplicates();
    return unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST(Accessibility, EveryViewOfTheDemoNamesItsInputs)
{
    ProgramFixture program({QStringLiteral("/Debug")});
    ASSERT_TRUE(program.ShowDemo());
    program.Frame().Action(QStringLiteral("editFind"))->trigger();
    program.Frame().Action(QStringLiteral("viewCheckPanel"))->setChecked(true);
    CSubTreeView& tree = program.Tree();
    QSet<int> kinds;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if (kinds.contains(CSubTreeView::KindOf(*it)))
            continue;
        kinds.insert(CSubTreeView::KindOf(*it));
        tree.setCurrentItem(*it);
        QApplication::processEvents();
        EXPECT_EQ(UnnamedInputs(program.Frame()), "") << tree.NodeText(*it).toStdString();
    }
    EXPECT_GE(kinds.size(), 6);
}

TEST(Accessibility, TheDialogsNameTheirInputs)
{
    ProgramFixture program;
    ASSERT_TRUE(program.ShowDemo());
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<COptionsSheet>(program.Doc(), 32));
    dialogs.push_back(std::make_unique<CKVLLoad>(program.asker));
    QuoteSheet sheet;
    sheet.rows.push_back({1, {{0, "Line"}, {1, "Quantity"}, {2, "Price"}}});
    sheet.rows.push_back({2, {{0, "0010"}, {1, "5"}, {2, ""}}});
    dialogs.push_back(std::make_unique<CQuoteImportDialog>(
        sheet, QuoteColumns{0, 1, 2, 2}, QString(), QStringLiteral("quote.csv"), QStringLiteral("Sub")));
    for (auto& dialog : dialogs) {
        dialog->show();
        EXPECT_EQ(UnnamedInputs(*dialog), "") << dialog->metaObject()->className();
    }
    std::string inErrorList = "not shown";
    program.asker.onErrorList = [&](CSubErrors& dialog) {
        dialog.show();
        inErrorList = UnnamedInputs(dialog);
    };
    program.Doc().OnCheckContract();
    EXPECT_EQ(inErrorList, "");
    std::string inPreview = "not shown";
    program.asker.onPreview = [&](QDialog& dialog) {
        dialog.show();
        inPreview = UnnamedInputs(dialog);
    };
    program.Doc().OnFilePrint(true);
    EXPECT_EQ(inPreview, "");
}

} // namespace
} // namespace kestrel
