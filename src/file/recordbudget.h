#pragma once
// How many more records one read may add to the model (the newRecords
// limit of ContractReadLimits), shared by the builder and the subcontract
// storage.

#include <cstddef>

namespace kestrel {

class CRecordBudget {
public:
    explicit CRecordBudget(size_t limit) : m_limit(limit) {}

    // Takes one record; false, and spent from then on, when none is left.
    [[nodiscard]] bool Take()
    {
        if (m_taken == m_limit) {
            m_spent = true;
            return false;
        }
        ++m_taken;
        return true;
    }
    bool Spent() const { return m_spent; }
    size_t Limit() const { return m_limit; }

private:
    size_t m_limit;
    size_t m_taken = 0;
    bool m_spent = false;
};

} // namespace kestrel
