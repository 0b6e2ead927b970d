#pragma once
// One report template.

#include <cstdint>
#include <memory>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

class CPlate : public CDataObject<CPlate> {
public:
    // Copies text and number only; the compiled form is not copied.
    void Copy(const CPlate& other) override
    {
        m_strText = other.m_strText;
        m_iNumber = other.m_iNumber;
    }

    uint16_t m_wFlags = 0; // bit 0: left out of the count written to the file
    Text m_strText;        // the template source
    int32_t m_iNumber = 0; // copied, not stored
    // The compiled form, owned by the report engine, which alone knows its
    // type; not stored and not copied.
    std::shared_ptr<void> m_pCompiled;
};

} // namespace kestrel
