#include "views/viewfactory.h"

#include <QString>

#include <map>

#include "views/dv_blank.h"
#include "views/dv_contract.h"
#include "views/dv_datatemplate.h"
#include "views/dv_debug.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_misc.h"
#include "views/dv_placeholder.h"
#include "views/dv_sub.h"
#include "views/dv_subdebuggrid.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_sublist.h"

namespace kestrel {

namespace {

std::map<ViewRole, ViewCreator>& Creators()
{
    static std::map<ViewRole, ViewCreator> creators;
    return creators;
}

} // namespace

ViewRole RoleOfKind(int kind)
{
    switch (kind) {
    case NODE_CONTRACT: return ViewRole::Contract;
    case NODE_SUBCONTRACTORS: return ViewRole::SubList;
    case NODE_SUBCONTRACTOR: return ViewRole::Sub;
    case NODE_SUB_ITEMS: return ViewRole::SubItemGrid;
    case NODE_CONTRACT_ITEMS: return ViewRole::ItemScheduleGrid;
    case NODE_MISC_DATA: return ViewRole::Misc;
    case NODE_TEMPLATE_INFO: return ViewRole::Debug;
    case NODE_DATA_TEMPLATE: return ViewRole::DataTemplate;
    case NODE_DEBUG_VIEW: return ViewRole::SubDebugGrid;
    default: return ViewRole::Blank;
    }
}

const char* ViewClassName(ViewRole role)
{
    switch (role) {
    case ViewRole::Blank: return "CDV_Blank";
    case ViewRole::Contract: return "CDV_Contract";
    case ViewRole::SubList: return "CDV_SubList";
    case ViewRole::Sub: return "CDV_Sub";
    case ViewRole::SubItemGrid: return "CDV_SubItemGrid";
    case ViewRole::SubItem: return "CDV_SubItem";
    case ViewRole::ItemScheduleGrid: return "CDV_ItemScheduleGrid";
    case ViewRole::Misc: return "CDV_Misc";
    case ViewRole::Debug: return "CDV_Debug";
    case ViewRole::DataTemplate: return "CDV_DataTemplate";
    case ViewRole::SubDebugGrid: return "CDV_SubDebugGrid";
    }
    return "CDV_Blank";
}

void CViewFactory::Register(ViewRole role, ViewCreator creator)
{
    Creators()[role] = std::move(creator);
}

void CViewFactory::Reset()
{
    Creators().clear();
}

CDataView* CViewFactory::Create(ViewRole role, QWidget* parent)
{
    if (auto it = Creators().find(role); it != Creators().end() && it->second)
        if (CDataView* view = it->second(parent))
            return view;
    switch (role) {
    case ViewRole::Blank: return new CDV_Blank(parent);
    case ViewRole::Contract: return new CDV_Contract(parent);
    case ViewRole::SubList: return new CDV_SubList(parent);
    case ViewRole::Debug: return new CDV_Debug(parent);
    case ViewRole::SubItemGrid: return new CDV_SubItemGrid(parent);
    case ViewRole::SubItem: return new CDV_SubItem(parent);
    case ViewRole::ItemScheduleGrid: return new CDV_ItemScheduleGrid(parent);
    case ViewRole::Sub: return new CDV_Sub(parent);
    case ViewRole::Misc: return new CDV_Misc(parent);
    case ViewRole::DataTemplate: return new CDV_DataTemplate(parent);
    case ViewRole::SubDebugGrid: return new CDV_SubDebugGrid(parent);
    default:
        // The subcontractor form is kept and bound again, as the real one is.
        return new CDV_Placeholder(QString::fromLatin1(ViewClassName(role)), role == ViewRole::Sub, parent);
    }
}

} // namespace kestrel
