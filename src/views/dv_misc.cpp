#include "views/dv_misc.h"

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

CDV_Misc::CDV_Misc(QWidget* parent) : CDV_Template(parent)
{
    setObjectName(QStringLiteral("miscForm"));
}

CWinMeta* CDV_Misc::GetFormMeta() const
{
    const CContract* contract = Contract();
    return contract ? contract->m_pMiscTable.get() : nullptr;
}

CSubcontract* CDV_Misc::GetCurrentRecord(int index) const
{
    const CWinMeta* meta = GetFormMeta();
    return meta ? meta->m_Records.GetAt(index < 0 ? 0 : index) : nullptr;
}

} // namespace kestrel
