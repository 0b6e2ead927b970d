#pragma once

#include <array>
#include <cstdint>

#include "model/contract/blockpool.h"
#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// Sub-item flag bits.
enum SubItemFlag : int {
    SUBITEM_OVERCOMMITTED = 1,
    SUBITEM_PARTIAL = 2,
    SUBITEM_FROMIRONBARK = 3,
    SUBITEM_COMPLETE = 5,
    SUBITEM_PRICE_OVERCOMMITTED = 6,
    SUBITEM_INVALID_QUANTITY = 7,
};

// One contract item subcontracted to one subcontract.
class CSubItem : public CDataObject<CSubItem> {
public:
    // Provided, so that make_unique does not first zero the whole object
    // (every member has its own initializer).
    CSubItem() noexcept {}
    void Copy(const CSubItem& other) override { *this = other; }

    // A contract holds sub-items by the hundred thousand: they come from a
    // block pool. A class derived from this one is allocated as usual.
    static void* operator new(size_t size)
    {
        return size == sizeof(CSubItem) ? Pool::Alloc() : ::operator new(size);
    }
    static void operator delete(void* p, size_t size) noexcept
    {
        if (size == sizeof(CSubItem))
            Pool::Release(p);
        else
            ::operator delete(p);
    }

    uint16_t m_wFlags = 0;
    double m_fQuan = 0;
    double m_fUP = 0;
    double m_fExt = 0;
    double m_fOrigQuan = 0; // original quantity received from Ironbark
    // Texts start empty (not null); a string_view spares measuring a literal
    // for every one of the many sub-items a contract reads.
    Text m_strUnitType{std::string_view()}; // the item's unit, or "PART"
    Text m_strUnitValue{std::string_view()};
    Text m_strRemarks{std::string_view()};
    // Remark identifier, kind and sequence, stamped on save.
    std::array<Text, 3> m_strExtra{Text(std::string_view()), Text(std::string_view()),
                                   Text(std::string_view())};

private:
    using Pool = BlockPool<96>;
};

static_assert(sizeof(CSubItem) <= BlockPool<96>::kBlockSize);

} // namespace kestrel
