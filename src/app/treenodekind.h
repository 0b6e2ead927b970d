#pragma once
// The kinds of the navigation tree's nodes; each kind has its data view.

#include <cstdint>

namespace kestrel {

enum TreeNodeKind : int32_t {
    NODE_NONE = 0,
    NODE_CONTRACT = 1,
    NODE_SUBCONTRACTORS = 2,
    NODE_SUBCONTRACTOR = 3,
    NODE_SUB_ITEMS = 4,
    NODE_SUB_ITEM_ENTRY = 5, // the lower pane of the "Subcontractor Items" split
    NODE_CONTRACT_ITEMS = 6,
    NODE_MISC_DATA = 7,
    NODE_TEMPLATE_INFO = 8,
    NODE_DATA_TEMPLATE = 9,
    NODE_DEBUG_VIEW = 10,
};

} // namespace kestrel
