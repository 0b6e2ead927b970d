#pragma once
// Which view the right-hand pane shows for a node kind, and how each view
// is made. The views still to come register themselves here; until then a
// placeholder that names its node stands in for them.

#include <functional>

#include "app/treenodekind.h"

class QWidget;

namespace kestrel {

class CDataView;

// The views of the right-hand pane.
enum class ViewRole {
    Blank,            // CDV_Blank
    Contract,         // CDV_Contract
    SubList,          // CDV_SubList
    Sub,              // CDV_Sub
    SubItemGrid,      // CDV_SubItemGrid (upper row of the "Subcontractor Items" split)
    SubItem,          // CDV_SubItem (its lower row)
    ItemScheduleGrid, // CDV_ItemScheduleGrid
    Misc,             // CDV_Misc
    Debug,            // CDV_Debug
    DataTemplate,     // CDV_DataTemplate
    SubDebugGrid,     // CDV_SubDebugGrid
};

// The view of a node kind: none, 0 and 5 blank; 4 the split of the
// subcontractor's item grid over the sub-item entry.
ViewRole RoleOfKind(int kind);
// The class name of the view of a role ("CDV_Contract").
const char* ViewClassName(ViewRole role);

using ViewCreator = std::function<CDataView*(QWidget* parent)>;

class CViewFactory {
public:
    // Makes `creator` the maker of the role's views (replacing the
    // placeholder or an earlier one).
    static void Register(ViewRole role, ViewCreator creator);
    // Puts the program's own makers back (tests).
    static void Reset();
    static CDataView* Create(ViewRole role, QWidget* parent);
};

} // namespace kestrel
