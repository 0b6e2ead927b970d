#pragma once
// The contract check: one message list for the whole program, with its
// error and warning counts.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

class CContract;

struct CheckEntry {
    uint16_t severity = 0; // 2 error, 1 warning, 0 the overflow marker
    uint16_t index = 0;    // record index the message is about
    uint16_t source = 0;   // 20 subcontractor, 5 miscellaneous data, 0 marker
    std::string text;      // at most 120 characters
};

struct CheckCounts {
    int entries = 0;
    int errors = 0;
    int warnings = 0;
};

// Runs the whole check; true when no error was found. Sets or clears
// contract flag 3.
bool CheckContract(CContract& contract, bool collect);
void ResetCheck(bool collect);
// Counts the message and, when collecting and the list is not full, stores
// the format filled with the arguments (printf style).
void AddCheckMessage(int index, int source, int severity, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
const std::vector<CheckEntry>& GetErrorList();
CheckCounts GetCheckCounts();
void FreeErrorList();

} // namespace kestrel
