#include "views/dataview.h"

#include <QScreen>

#include "app/subdoc.h"
#include "app/subsettings.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

CDataView::CDataView(QWidget* parent) : CColoredScrollView(parent)
{
}

void CDataView::Bind(CSubDoc* doc, const ViewBinding& binding)
{
    if (m_doc != doc) {
        if (m_doc)
            disconnect(m_doc, nullptr, this, nullptr);
        m_doc = doc;
        if (m_doc) {
            connect(m_doc, &CSubDoc::contractChanged, this,
                    [this](const ChangeEvent& event) { OnContractChanged(event); });
            connect(m_doc, &CSubDoc::contractSaved, this, [this] { OnContractSaved(); });
            connect(m_doc, &CSubDoc::colorSettingsChanged, this, [this] { OnColorHint(); });
        }
    }
    m_binding = binding;
}

void CDataView::InitialUpdate()
{
    if (m_initialised)
        return;
    m_initialised = true;
    setUpdatesEnabled(false);
    ApplyBackgroundSettings();
    OnInitialUpdate();
    setUpdatesEnabled(true);
}

void CDataView::Rebind(const ViewBinding& binding)
{
    m_binding = binding;
    if (!m_initialised) {
        InitialUpdate();
        return;
    }
    setUpdatesEnabled(false);
    OnRebind();
    setUpdatesEnabled(true);
}

CContract* CDataView::Contract() const
{
    return m_doc ? m_doc->Contract() : nullptr;
}

CSubcontract* CDataView::Record() const
{
    return m_doc && m_doc->IsRecordAlive(m_binding.record) ? m_binding.record : nullptr;
}

int CDataView::RecordIndex() const
{
    const CSubcontract* record = Record();
    return record ? Contract()->m_pSubTable->m_Records.IndexOf(record) : -1;
}

void CDataView::ApplyBackgroundSettings()
{
    CBackgroundPainter painter;
    if (m_doc) {
        const QScreen* screen = this->screen();
        painter.FromSettings(m_doc->Settings(), screen ? screen->depth() : 32);
    }
    SetBackground(painter);
}

void CDataView::OnColorHint()
{
    ApplyBackgroundSettings();
    update();
}

} // namespace kestrel
