// The agency's amendment of the demo contract.

#include "demogen/demogen.h"
#include "model/contract/contract.h"
#include "support/amendmentmaker.h"

namespace kestrel::demo {

std::unique_ptr<CContract> BuildDemoAmendment()
{
    auto demo = BuildDemoContract();
    auto amended = test::AgencyCopy(*demo);
    test::ItemAt(*amended, "1190").m_fQuantity = 19800;
    test::ItemAt(*amended, "1130").m_fQuantity = 98200;
    test::RemoveLine(*amended, "1460");
    CItem& added = test::InsertLine(*amended, "2320", "2325", "681-05000", "EACH", 12, 640);
    added.m_strShortDesc = "PED PUSH BUTTON ASSY";
    added.m_strLongDesc = "PEDESTRIAN PUSH BUTTON ASSEMBLY WITH SIGN";
    test::ItemAt(*amended, "1620").m_fUnitPrice = 710;
    amended->RecalculateContract();
    return amended;
}

} // namespace kestrel::demo
