#include "views/dv_sub.h"

#include <QFontMetrics>

#include "app/qtext.h"
#include "app/subdoc.h"
#include "model/contract/contract.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/winmeta.h"
#include "views/formfield.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/listlookup.h"
#include "views/substatusline.h"

namespace kestrel {

CDV_Sub::CDV_Sub(QWidget* parent) : CDV_Template(parent)
{
    setObjectName(QStringLiteral("subcontractorForm"));
}

CWinMeta* CDV_Sub::GetFormMeta() const
{
    const CContract* contract = Contract();
    return contract ? contract->m_pSubTable.get() : nullptr;
}

CSubcontract* CDV_Sub::GetCurrentRecord(int index) const
{
    if (index < 0)
        return Record();
    const CWinMeta* meta = GetFormMeta();
    return meta ? meta->m_Records.GetAt(index) : nullptr;
}

QFont CDV_Sub::StatusFont() const
{
    // The form font, 2 points taller and bold (as the status line sets it).
    QFont font = FormFont();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + 2);
    font.setWeight(QFont::Bold);
    return font;
}

int CDV_Sub::TopBand() const
{
    return QFontMetrics(StatusFont()).height() + LineHeight() / 2;
}

void CDV_Sub::OnFormBuilt()
{
    if (CSubDoc* doc = Document()) {
        m_status = new CSubStatusLine(*doc, FormFont(), Form());
        m_status->show();
    }
    // Vendor drop-downs the user types into find their entry by any part.
    const CWinMeta* meta = GetFormMeta();
    for (int field = 0; meta && field < FieldCount(); ++field) {
        CFormField* f = FormField(field);
        const CFieldInfo* info = meta->m_Fields.GetAt(field);
        if (!f || !info || f->Kind() != FormControlKind::DropCombo ||
            SpecialListOf(*info) != SpecialList::Vendor)
            continue;
        auto* lookup = new CListLookup(f->Control());
        f->ComboBox()->Edit()->setCompleter(lookup);
        connect(lookup, &CListLookup::chosen, this, [this, field](int position) {
            (void)ApplyFieldEdit(field, [&](CContractEdits& edits, CWinMeta& table, CSubcontract& record) {
                return edits.ChooseListEntry(table, record, field, position);
            });
        });
        m_lookups[field] = lookup;
    }
}

void CDV_Sub::OnFormSized()
{
    if (m_status)
        m_status->setGeometry(0, LineHeight() / 4, Form()->width(), QFontMetrics(StatusFont()).height() + 2);
}

CListLookup* CDV_Sub::VendorLookup(int field) const
{
    const auto it = m_lookups.find(field);
    return it == m_lookups.end() ? nullptr : it->second;
}

void CDV_Sub::FillFieldList(int field)
{
    CDV_Template::FillFieldList(field);
    CListLookup* lookup = VendorLookup(field);
    const CWinMeta* meta = GetFormMeta();
    const auto& shown = Display().fields;
    if (!lookup || !meta || field >= static_cast<int>(shown.size()))
        return;
    const FieldChoices& choices = shown[static_cast<size_t>(field)].choices;
    if (lookup->EntryCount() == static_cast<int>(choices.entries.size()))
        return;
    // Each entry is listed, and found, by what every field on the vendor
    // list shows of it, one column each in field order: its number, name
    // and address.
    std::vector<int> fields;
    for (int j : FieldsOnSameList(*meta, field))
        if (j < static_cast<int>(shown.size()))
            fields.push_back(j);
    std::map<int, QStringList> columns;
    for (size_t k = 0; k < fields.size(); ++k)
        for (const FieldChoice& c : shown[static_cast<size_t>(fields[k])].choices.entries) {
            QStringList& row = columns[c.position];
            while (row.size() < static_cast<qsizetype>(fields.size()))
                row.append(QString());
            row[static_cast<qsizetype>(k)] = ToQString(c.text);
        }
    QList<CListLookup::Entry> entries;
    entries.reserve(static_cast<qsizetype>(choices.entries.size()));
    for (const FieldChoice& c : choices.entries)
        entries.append({c.position, ToQString(c.text), columns[c.position]});
    lookup->SetEntries(entries);
}

void CDV_Sub::RefreshAfterChange()
{
    CDV_Template::RefreshAfterChange();
    if (m_status)
        m_status->SetRecord(Record());
}

} // namespace kestrel
