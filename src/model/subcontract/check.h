#pragma once
// The contract check: whether the contract is ready to be submitted. It
// returns its messages as a plain value that the caller keeps (the error
// list, a report run, the command line); nothing of it is kept here.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

class CContract;
class CSubItemSummaries;

enum class CheckSeverity : uint8_t {
    Marker = 0, // the last stored entry of a full list
    Warning = 1,
    Error = 2,
};

enum class CheckSource : uint8_t {
    None = 0,           // the marker
    MiscData = 5,       // the miscellaneous-data record
    Subcontractor = 20, // a record of the subcontractor table
};

// One message with where it points, so that the program can go there.
struct CheckMessage {
    CheckSeverity severity = CheckSeverity::Marker;
    CheckSource source = CheckSource::None;
    int record = 0;   // record index (0 for the miscellaneous data and the marker)
    int field = -1;   // the field the message is about, -1 for none
    std::string item; // line number of the sub-item it is about, empty for none
    std::string text; // at most 120 characters
};

struct CheckResult {
    // At most 8999 entries: 8998 messages, then the marker; later messages
    // are only counted.
    std::vector<CheckMessage> messages;
    int errors = 0;   // every error found, stored or not
    int warnings = 0; // every warning found, stored or not

    bool Passed() const { return errors == 0; }
};

// Whether the check keeps its message texts. A check that only counts is
// for callers that need the flag and the counts.
enum class CheckCollect : uint8_t { Messages, CountsOnly };

// Runs the whole check: renews the subcontracted total, sets or clears
// contract flag 3 (errors found) and returns the messages and counts. With
// summaries, what it reads of a record's sub-items is taken from there
// (see CSubItemSummaries).
[[nodiscard]] CheckResult CheckContract(CContract& contract, CheckCollect collect = CheckCollect::Messages,
                                        CSubItemSummaries* summaries = nullptr);

} // namespace kestrel
