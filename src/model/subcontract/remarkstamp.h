#pragma once
// Remark identifiers, kinds and sequences stamped on every save.

#include <cstdint>
#include <functional>
#include <string>

namespace kestrel {

class CContract;

// The pseudo-random sequence of the platform the files come from: values
// 0 to 32767 from a linear congruential generator.
class CRemarkRandom {
public:
    explicit CRemarkRandom(uint32_t seed) : m_state(seed) {}
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};

// Gives the next value 0..32767; tests inject their own sequence.
using RandomSource = std::function<int()>;

// 28 digits: seven draws, each scaled to 0..9999, the last drawn first.
std::string NewRemarkId(const RandomSource& next);

// For every subcontract row: cells 7 and 8 become "GEN " and "001" when the
// remark (cell 9) is not blank, "" otherwise; cell 6 gets a new identifier
// when it is blank and the remark is not, and is emptied when the remark is
// blank. Sub-item remarks are trimmed and stamped alike. Cells a row does not
// have are not created.
void StampRemarks(CContract& contract, const RandomSource& next);
// The same with the generator seeded once from the current time.
void StampRemarks(CContract& contract);

} // namespace kestrel
