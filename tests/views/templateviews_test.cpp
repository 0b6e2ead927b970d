// The template and debug views: the nodes of debug mode, the template
// editor (one line a line, stored through the edit layer once it compiles,
// never cut, written to the section file chosen once) and the cell dump.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextBlock>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>

#include <algorithm>
#include <filesystem>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "model/contract/contract.h"
#include "model/contract/plate.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "support/testfiles.h"
#include "views/celldumpmodel.h"
#include "views/dv_datatemplate.h"
#include "views/dv_subdebuggrid.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

std::vector<QTreeWidgetItem*> NodesOfKind(CSubTreeView& tree, TreeNodeKind kind)
{
    std::vector<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if (CSubTreeView::KindOf(*it) == kind)
            nodes.push_back(*it);
    return nodes;
}

std::string StoredTemplate(CSubDoc& doc, const std::string& name)
{
    const CPlate* plate = doc.Contract()->FindDataTemplate(name);
    return plate ? std::string(plate->m_strText.View()) : std::string("<none>");
}

// The program in debug mode on a contract of its own, the editor of one of
// its templates chosen.
class TemplateEditorTest : public ::testing::Test {
protected:
    void Open(CContract& contract)
    {
        ASSERT_TRUE(program.Doc().OpenDocument(test::WriteContract(contract, program.dir.file("T.CON"))));
    }
    CDV_DataTemplate* Edit(const QString& name)
    {
        for (QTreeWidgetItem* node : NodesOfKind(program.Tree(), NODE_DATA_TEMPLATE))
            if (program.Tree().NodeText(node) == name)
                program.Tree().setCurrentItem(node);
        return qobject_cast<CDV_DataTemplate*>(program.Frame().View()->RightPane());
    }

    ProgramFixture program{{QStringLiteral("/Debug")}};
};

TEST(TemplateNodes, DebugModeAddsTheTemplatesAndTheCellDumps)
{
    test::TempDir files;
    const QString demo = test::CopyDemo(files);
    ProgramFixture debug({QStringLiteral("/Debug"), demo});
    CSubTreeView& tree = debug.Tree();
    const auto info = NodesOfKind(tree, NODE_TEMPLATE_INFO);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(tree.NodeText(info[0]), QStringLiteral("Template Info"));
    EXPECT_EQ(info[0]->parent(), tree.ContractNode());
    // One node a template, sorted by name.
    const auto templates = NodesOfKind(tree, NODE_DATA_TEMPLATE);
    ASSERT_EQ(templates.size(), static_cast<size_t>(debug.Doc().Contract()->m_DataTemplates.GetCount()));
    for (size_t i = 0; i < templates.size(); ++i) {
        EXPECT_EQ(templates[i]->parent(), info[0]);
        if (i > 0) {
            EXPECT_LT(FromQString(tree.NodeText(templates[i - 1])), FromQString(tree.NodeText(templates[i])));
        }
    }
    // Each subcontractor has its cell dump.
    const auto subs = NodesOfKind(tree, NODE_SUBCONTRACTOR);
    const auto dumps = NodesOfKind(tree, NODE_DEBUG_VIEW);
    ASSERT_EQ(dumps.size(), subs.size());
    for (QTreeWidgetItem* dump : dumps) {
        EXPECT_EQ(tree.NodeText(dump), QStringLiteral("Debug View"));
        EXPECT_EQ(CSubTreeView::KindOf(dump->parent()), NODE_SUBCONTRACTOR);
    }
    // Their views.
    tree.setCurrentItem(templates[0]);
    auto* editor = qobject_cast<CDV_DataTemplate*>(debug.Frame().View()->RightPane());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->NameEdit()->text(), tree.NodeText(templates[0]));
    EXPECT_TRUE(editor->NameEdit()->isReadOnly());
    tree.setCurrentItem(dumps[0]);
    EXPECT_NE(qobject_cast<CDV_SubDebugGrid*>(debug.Frame().View()->RightPane()), nullptr);

    // Without debug mode there are none of them.
    ProgramFixture plain({demo});
    EXPECT_TRUE(NodesOfKind(plain.Tree(), NODE_TEMPLATE_INFO).empty());
    EXPECT_TRUE(NodesOfKind(plain.Tree(), NODE_DATA_TEMPLATE).empty());
    EXPECT_TRUE(NodesOfKind(plain.Tree(), NODE_DEBUG_VIEW).empty());
}

TEST(TemplateText, OneLineALineAndEveryCharacterBack)
{
    const std::string stored = "a\tb\nc\fd\re\r\nf\xA0g\x01h\x7F";
    const QString shown = CDV_DataTemplate::ShownText(stored);
    const QStringList lines = shown.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("a\tb"));
    EXPECT_EQ(lines[1], QStringLiteral("c\u240Cd\u240De\u240D"));
    EXPECT_EQ(lines[2], QStringLiteral("f\u00A0g\u2401h\u2421"));
    EXPECT_EQ(CDV_DataTemplate::StoredText(shown).value(), stored);
    // Line ends of any kind typed or pasted in store as plain line feeds.
    EXPECT_EQ(CDV_DataTemplate::StoredText(QStringLiteral("x\u2029y\u2028z")).value(), "x\ny\nz");
    // A character the contract cannot hold is refused, not made a "?".
    EXPECT_EQ(CDV_DataTemplate::StoredText(QStringLiteral("a\u2192b")).errorText(),
              "The character U+2192 (character 2 of the text) cannot be stored in a contract file");
}

TEST_F(TemplateEditorTest, ChangeProposalStoresThroughTheEditLayer)
{
    auto c = test::SmallContract(1);
    c->AddDataTemplate("Report Header", "Header {CONTRACT_ID}\n\fpage\r\\\n");
    Open(*c);
    CDV_DataTemplate* editor = Edit(QStringLiteral("Report Header"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->TextEdit()->document()->blockCount(), 3);
    // Shown and read back untouched, it is the stored text.
    EXPECT_EQ(editor->EditedText().value(), "Header {CONTRACT_ID}\n\fpage\r\\\n");
    EXPECT_FALSE(program.Doc().IsModified());

    editor->TextEdit()->setPlainText(editor->TextEdit()->toPlainText() +
                                     QStringLiteral("Second\u00A0line\n"));
    editor->ProposalButton()->click();
    const std::string edited = "Header {CONTRACT_ID}\n\fpage\r\\\nSecond\xA0line\n";
    EXPECT_EQ(StoredTemplate(program.Doc(), "Report Header"), edited);
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_TRUE(FlagTest(program.Doc().Contract()->m_wFlags, 0));
    EXPECT_EQ(program.Doc().UndoStack().count(), 1);
    EXPECT_TRUE(program.asker.asked.empty());

    // Undo takes it back, in the contract and in the editor.
    program.Doc().UndoStack().undo();
    EXPECT_EQ(StoredTemplate(program.Doc(), "Report Header"), "Header {CONTRACT_ID}\n\fpage\r\\\n");
    EXPECT_EQ(editor->EditedText().value(), "Header {CONTRACT_ID}\n\fpage\r\\\n");
    EXPECT_FALSE(program.Doc().IsModified());
}

// The count of lines below the text says "line" for one.
TEST_F(TemplateEditorTest, TheLineCountSaysLineForOne)
{
    auto c = test::SmallContract(1);
    c->AddDataTemplate("Report Header", "x");
    Open(*c);
    CDV_DataTemplate* editor = Edit(QStringLiteral("Report Header"));
    ASSERT_NE(editor, nullptr);
    auto* position = editor->findChild<QLabel*>(QStringLiteral("templatePosition"));
    for (const auto& [text, count] : {std::pair{"one\n", " 1 line"}, std::pair{"a\nb", " 2 lines"}}) {
        editor->TextEdit()->setPlainText(QString::fromLatin1(text));
        EXPECT_TRUE(position->text().endsWith(QString::fromLatin1(count))) << position->text().toStdString();
    }
}

TEST_F(TemplateEditorTest, ALongTemplateIsShownAndStoredWhole)
{
    std::string text;
    for (int i = 0; text.size() < 50000; ++i)
        text += "Line " + std::to_string(i) + " of a long template {CONTRACT_ID,SIZE=12}\n";
    auto c = test::SmallContract(1);
    c->AddDataTemplate("Report Back", text);
    Open(*c);
    CDV_DataTemplate* editor = Edit(QStringLiteral("Report Back"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->EditedText().value(), text);
    QTextCursor cursor(editor->TextEdit()->document());
    cursor.insertText(QStringLiteral("X"));
    ASSERT_TRUE(editor->OnChangeProposal());
    EXPECT_EQ(StoredTemplate(program.Doc(), "Report Back"), "X" + text);
    // The editor holds no more than a record of the file does.
    cursor.insertText(QString(20000, QLatin1Char('Y')));
    EXPECT_EQ(editor->TextEdit()->toPlainText().size(), 65535);
    EXPECT_GT(StoredTemplate(program.Doc(), "Report Back").size(), 36000u);
}

TEST_F(TemplateEditorTest, ATemplateThatDoesNotCompileIsNotStored)
{
    auto c = test::SmallContract(1);
    c->AddDataTemplate("Report Header", "fine\n");
    Open(*c);
    CDV_DataTemplate* editor = Edit(QStringLiteral("Report Header"));
    ASSERT_NE(editor, nullptr);
    editor->TextEdit()->setPlainText(QStringLiteral("one\n{CONTRACT_ID}\n{CONTRACT_ID,NOSUCHOPTION}\nfour"));
    EXPECT_FALSE(editor->OnChangeProposal());
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Template Error"));
    EXPECT_EQ(
        program.asker.asked[0].text,
        QStringLiteral(
            "Line 3: Unknown Field Option: NOSUCHOPTION for field: CONTRACT_ID in template [Report Header]"));
    // The line at fault is chosen; nothing was stored or marked.
    EXPECT_EQ(editor->TextEdit()->textCursor().blockNumber(), 2);
    EXPECT_EQ(StoredTemplate(program.Doc(), "Report Header"), "fine\n");
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
}

TEST_F(TemplateEditorTest, TheSectionFileIsChosenOnceAndMadeWhenItIsNew)
{
    auto c = test::SmallContract(1);
    c->AddDataTemplate("Report Header", "Header\n");
    c->AddDataTemplate("Report Footer", "Footer\n");
    Open(*c);
    CDV_DataTemplate* editor = Edit(QStringLiteral("Report Header"));
    ASSERT_NE(editor, nullptr);
    // Cancelled: nothing is written and nothing said.
    editor->SectionButton()->click();
    EXPECT_EQ(program.asker.sectionDialogs, 1);
    EXPECT_TRUE(program.asker.asked.empty());
    EXPECT_TRUE(program.Doc().TemplateSectionPath().isEmpty());

    // A file that is not there yet: made, with the section.
    const std::string cfg = program.dir.file("gen.cfg");
    program.asker.sectionFile = Q(cfg);
    editor->SectionButton()->click();
    EXPECT_EQ(program.asker.sectionDialogs, 2);
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Section Report Header Added to file ") + Q(cfg));
    EXPECT_EQ(test::ReadText(cfg), "[Report Header]\nHeader\n");
    EXPECT_EQ(program.Doc().TemplateSectionPath(), Q(cfg));

    // The same file from then on, without asking, from any template.
    editor->TextEdit()->setPlainText(QStringLiteral("New header"));
    editor->SectionButton()->click();
    EXPECT_EQ(program.asker.asked.back().text,
              QStringLiteral("Section Report Header Replaced in file ") + Q(cfg));
    CDV_DataTemplate* footer = Edit(QStringLiteral("Report Footer"));
    ASSERT_NE(footer, nullptr);
    footer->SectionButton()->click();
    EXPECT_EQ(program.asker.sectionDialogs, 2);
    EXPECT_EQ(test::ReadText(cfg), "[Report Header]\nNew header\n[Report Footer]\nFooter\n");
    // Writing the section file is no change of the contract.
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST_F(TemplateEditorTest, TheCellDumpShowsEveryFieldOfTheRecord)
{
    auto c = test::SmallContract(1);
    CWinMeta& table = *c->m_pSubTable;
    table.m_Fields[5]->m_wFlags = 0x2A;
    table.m_Fields[5]->m_iX = 12;
    table.m_Fields[5]->m_iY = 34;
    table.m_Fields[5]->m_iCX = 56;
    table.m_Fields[5]->m_iCY = 78;
    CSubcontract* sub = table.m_Records[0];
    sub->SetCellText(6, Text(""));
    Open(*c);
    const auto dumps = NodesOfKind(program.Tree(), NODE_DEBUG_VIEW);
    ASSERT_EQ(dumps.size(), 1u);
    program.Tree().setCurrentItem(dumps[0]);
    auto* view = qobject_cast<CDV_SubDebugGrid*>(program.Frame().View()->RightPane());
    ASSERT_NE(view, nullptr);
    const CCellDumpModel& dump = *view->Model();
    const CWinMeta& opened = *program.Doc().Contract()->m_pSubTable;
    ASSERT_EQ(dump.rowCount(), opened.m_Fields.GetSize());
    ASSERT_EQ(dump.columnCount(), 10);
    const QStringList headings{QStringLiteral("Index"),     QStringLiteral("Cell Name"),
                               QStringLiteral("Cell Data"), QStringLiteral("Cell Data Idx"),
                               QStringLiteral("X Pos"),     QStringLiteral("Y Pos"),
                               QStringLiteral("X Size"),    QStringLiteral("Y Size"),
                               QStringLiteral("DataType"),  QStringLiteral("Flags")};
    const int widths[] = {50, 300, 250, 50, 50, 50, 50, 50, 50, 50};
    for (int col = 0; col < 10; ++col) {
        EXPECT_EQ(dump.headerData(col, Qt::Horizontal).toString(), headings[col]);
        // The set width, or wider where the heading would be cut.
        const int heading = view->Grid()->horizontalHeader()->sectionSizeHint(col);
        EXPECT_EQ(view->Grid()->columnWidth(col), std::max(widths[col], heading));
    }
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColIndex), QStringLiteral("5"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColName), QStringLiteral("F5"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColX), QStringLiteral("12"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColY), QStringLiteral("34"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColWidth), QStringLiteral("56"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColHeight), QStringLiteral("78"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColType), QString::number(opened.m_Fields[5]->m_iType));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColFlags), QStringLiteral("002a"));
    EXPECT_EQ(dump.Text(5, CCellDumpModel::ColDataIndex), QStringLiteral("-1"));
    EXPECT_EQ(dump.Text(SUBF_NAME, CCellDumpModel::ColData), QStringLiteral("Sub 1"));
    EXPECT_EQ(dump.Text(6, CCellDumpModel::ColData), QString());
    // Shown, not edited; no side heading, a top heading 20 pixels high.
    EXPECT_FALSE(dump.flags(dump.index(5, CCellDumpModel::ColData)) & Qt::ItemIsEditable);
    EXPECT_EQ(view->Grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(view->Grid()->verticalHeader()->isHidden());
    EXPECT_EQ(view->Grid()->horizontalHeader()->height(), 20);

    // It follows a change of the record.
    ASSERT_TRUE(program.Doc().ApplyEdit(
        program.Doc().Edits()->SetCell(*program.Doc().Contract()->m_pSubTable,
                                       *program.Doc().Contract()->m_pSubTable->m_Records[0], 20, "typed")));
    EXPECT_EQ(dump.Text(20, CCellDumpModel::ColData), QStringLiteral("typed"));
}

TEST(CellDump, ACellWithoutTextIsNull)
{
    auto c = test::SmallContract(1);
    CWinMeta& table = *c->m_pSubTable;
    CSubcontract& sub = *table.m_Records[0];
    sub.SetCellText(6, Text(""));
    sub.GetCell(7)->m_i = 3;
    CCellDumpModel dump;
    dump.SetRecord(&table, &sub);
    ASSERT_EQ(dump.rowCount(), table.m_Fields.GetSize());
    EXPECT_EQ(dump.Text(SUBF_NAME, CCellDumpModel::ColData), QStringLiteral("Sub 1"));
    // Never given a text: "<NULL>"; given an empty one: empty.
    EXPECT_EQ(dump.Text(20, CCellDumpModel::ColData), QStringLiteral("<NULL>"));
    EXPECT_EQ(dump.Text(6, CCellDumpModel::ColData), QString());
    EXPECT_EQ(dump.Text(7, CCellDumpModel::ColDataIndex), QStringLiteral("3"));
    // A record with fewer cells than the form has fields.
    while (sub.m_Cells.GetSize() > 10)
        sub.m_Cells.RemoveAt(sub.m_Cells.GetSize() - 1);
    dump.SetRecord(&table, &sub);
    EXPECT_EQ(dump.Text(15, CCellDumpModel::ColData), QStringLiteral("<NULL>"));
    EXPECT_EQ(dump.Text(15, CCellDumpModel::ColDataIndex), QStringLiteral("-1"));
    EXPECT_EQ(dump.Text(15, CCellDumpModel::ColName), QStringLiteral("F15"));
    // No record: no rows.
    dump.SetRecord(&table, nullptr);
    EXPECT_EQ(dump.rowCount(), 0);
}

} // namespace
} // namespace kestrel
