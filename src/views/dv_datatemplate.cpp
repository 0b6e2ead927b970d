#include "views/dv_datatemplate.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include "app/asker.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "edit/changeevent.h"
#include "edit/contractedits.h"
#include "file/recordwriter.h"
#include "model/contract/contract.h"
#include "model/contract/plate.h"
#include "report/sectionfile.h"
#include "report/templatecompiler.h"
#include "views/accessiblename.h"
#include "views/greymultiedit.h"

namespace kestrel {

namespace {

// The control characters a template keeps as they are in the editor.
bool ShownAsIs(char16_t c)
{
    return c == u'\t' || c == u'\n';
}

QFont TemplateFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), font.family()});
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

QString CDV_DataTemplate::ShownText(std::string_view stored)
{
    QString shown = ToQString(stored);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t c = shown[i].unicode();
        if (c < 0x20 && !ShownAsIs(c))
            shown[i] = QChar(char16_t(0x2400 + c)); // the symbol for the control character
        else if (c == 0x7F)
            shown[i] = QChar(char16_t(0x2421));
    }
    return shown;
}

Result<std::string> CDV_DataTemplate::StoredText(const QString& shown)
{
    QString text = shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x2400 && c < 0x2420)
            text[i] = QChar(char16_t(c - 0x2400));
        else if (c == 0x2421)
            text[i] = QChar(char16_t(0x7F));
        else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            text[i] = QLatin1Char('\n');
    }
    return FromTypedQString(text);
}

CDV_DataTemplate::CDV_DataTemplate(QWidget* parent) : CDV(parent)
{
    setObjectName(QStringLiteral("dataTemplateView"));
    auto* grid = new QGridLayout(Form());
    grid->setContentsMargins(12, 12, 12, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    auto* label = new QLabel(tr("Template:"), Form());
    m_name = new QLineEdit(Form());
    m_name->setObjectName(QStringLiteral("templateName"));
    m_name->setReadOnly(true);
    label->setBuddy(m_name);
    SetAccessibleCaption(m_name, label->text());
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_name, 0, 1);
    m_text = new QPlainTextEdit(Form());
    m_text->setObjectName(QStringLiteral("templateText"));
    m_text->setFont(TemplateFont());
    SetAccessibleCaption(m_text, tr("Template text"));
    // A template line is a report line: never wrapped on screen.
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(false);
    connect(m_text, &QPlainTextEdit::textChanged, this,
            [this] { KeepPlainTextWithin(*m_text, static_cast<int>(kMaxRecordText)); });
    grid->addWidget(m_text, 1, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);

    auto* row = new QHBoxLayout;
    m_position = new QLabel(Form());
    m_position->setObjectName(QStringLiteral("templatePosition"));
    row->addWidget(m_position, 1);
    m_proposal = new QPushButton(tr("Change Proposal"), Form());
    m_proposal->setToolTip(tr("Store the template in the contract"));
    m_section = new QPushButton(tr("Change ZodEva.cfg"), Form());
    m_section->setToolTip(tr("Write the template as a section of the template section file"));
    row->addWidget(m_proposal);
    row->addWidget(m_section);
    grid->addLayout(row, 2, 0, 1, 2);
    connect(m_proposal, &QPushButton::clicked, this, [this] { OnChangeProposal(); });
    connect(m_section, &QPushButton::clicked, this, [this] { OnChangeSectionFile(); });
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &CDV_DataTemplate::ShowPosition);
    connect(m_text, &QPlainTextEdit::textChanged, this, &CDV_DataTemplate::ShowPosition);
}

Result<std::string> CDV_DataTemplate::EditedText() const
{
    // The raw text keeps no-break spaces, which plain text would turn into
    // blanks.
    return StoredText(m_text->document()->toRawText());
}

void CDV_DataTemplate::OnInitialUpdate()
{
    m_templateName = FromQString(Binding().templateName);
    ShowTemplate();
}

void CDV_DataTemplate::ShowTemplate()
{
    m_name->setText(ToQString(m_templateName));
    const CContract* contract = Contract();
    const CPlate* plate = contract ? contract->FindDataTemplate(m_templateName) : nullptr;
    m_shownStored = plate ? std::string(plate->m_strText.View()) : std::string();
    m_text->setPlainText(ShownText(m_shownStored));
    m_text->document()->setModified(false);
    const bool enabled = contract != nullptr && !m_templateName.empty();
    m_proposal->setEnabled(enabled);
    m_section->setEnabled(enabled);
    ShowPosition();
}

void CDV_DataTemplate::ShowPosition()
{
    const QTextCursor cursor = m_text->textCursor();
    // A last line feed starts no line of the template.
    const QTextDocument* document = m_text->document();
    const int lines = document->blockCount() - (document->lastBlock().length() <= 1 ? 1 : 0);
    m_position->setText(tr("Line %1, Column %2    %3 %4")
                            .arg(cursor.blockNumber() + 1)
                            .arg(cursor.positionInBlock() + 1)
                            .arg(lines)
                            .arg(lines == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
}

void CDV_DataTemplate::OnContractChanged(const ChangeEvent& event)
{
    const bool mine = event.kind == ChangeKind::Template && event.templateName == m_templateName;
    if (!mine && event.kind != ChangeKind::Undone && event.kind != ChangeKind::Redone)
        return;
    // Shown again only when the stored text is no longer the one shown (an
    // undo took the change back).
    const CPlate* plate = Contract() ? Contract()->FindDataTemplate(m_templateName) : nullptr;
    const std::string stored = plate ? std::string(plate->m_strText.View()) : std::string();
    if (stored != m_shownStored)
        ShowTemplate();
}

bool CDV_DataTemplate::OnChangeProposal()
{
    CSubDoc* doc = Document();
    if (!doc || !doc->Edits() || m_templateName.empty())
        return false;
    const Result<std::string> edited = EditedText();
    if (!edited)
        return doc->ApplyEdit(EditResult(edited.error()));
    const std::string& text = edited.value();
    // A template that does not compile would stop every report: it is not
    // stored, and the line at fault is shown.
    const Status compiled = CTemplateCompiler::CheckText(text, m_templateName, Contract());
    if (!compiled) {
        const int line = compiled.errorCode();
        const QTextBlock block = m_text->document()->findBlockByNumber(line - 1);
        if (block.isValid()) {
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            m_text->setTextCursor(cursor);
        }
        doc->Asker().Tell(this, tr("Template Error"),
                          tr("Line %1: %2").arg(line).arg(ToQString(compiled.errorText())));
        return false;
    }
    if (!doc->ApplyEdit(doc->Edits()->SetTemplateText(m_templateName, text)))
        return false;
    m_shownStored = text;
    m_text->document()->setModified(false);
    QApplication::beep();
    return true;
}

void CDV_DataTemplate::OnChangeSectionFile()
{
    CSubDoc* doc = Document();
    if (!doc || m_templateName.empty())
        return;
    const Result<std::string> edited = EditedText();
    if (!edited) {
        (void)doc->ApplyEdit(EditResult(edited.error()));
        return;
    }
    QString& path = doc->TemplateSectionPath();
    if (path.isEmpty()) {
        // Asked once; the file chosen is kept for the rest of the run.
        path = doc->Asker().SectionFileName(this);
        if (path.isEmpty())
            return;
    }
    // A file chosen that is not there yet is made with this one section.
    const SectionSaveOutcome outcome =
        SaveTemplateSection(m_templateName, edited.value(), path.toStdString(), {}, MissingSectionFile::Create);
    // The name is the contract's text, the path the system's: each is
    // converted on its own.
    QString message = QString::fromStdString(outcome.message);
    if (outcome.ok())
        message = tr("Section %1 %2 file %3")
                      .arg(ToQString(m_templateName),
                           outcome.result == SectionSaveResult::Replaced ? QStringLiteral("Replaced in")
                                                                         : tr("Added to"),
                           path);
    doc->Asker().Tell(this, AppTitle(), message,
                      outcome.ok() ? QMessageBox::Information : QMessageBox::Warning);
}

} // namespace kestrel
