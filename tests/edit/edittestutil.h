#pragma once
// What the edit layer's tests share: a contract with the edit layer over it
// as the program holds them, the demo contract opened as the program opens
// it, and a small contract whose numbers each test sets itself.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "model/subcontract/programpaths.h"

namespace kestrel {
class CContract;
class CSubcontract;
class CSubItem;
class CWinMeta;
} // namespace kestrel

namespace kestrel::test {

// A contract, the evaluator and folders of its program, and the edit layer
// over them, the silent check run once as after opening.
struct EditSession {
    explicit EditSession(std::unique_ptr<CContract> opened);
    ~EditSession();
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    CWinMeta& Table() const;
    // The record numbered so (as FindRecordByNumber finds it); fails the
    // test and returns the first record when there is none.
    CSubcontract& Sub(std::string_view number) const;
    CSubItem* SubItem(std::string_view number, std::string_view line) const;
    // The uncompressed bytes the contract writes.
    std::vector<unsigned char> Bytes() const;
    bool Modified() const;

    std::unique_ptr<CContract> contract;
    Evaluator evaluator;
    CProgramPaths paths;
    std::unique_ptr<CContractEdits> edits;
};

// A contract file opened as the program opens it (the lists beside it
// linked); samples/DEMO.CON so.
std::unique_ptr<EditSession> OpenSession(const std::string& path);
std::unique_ptr<EditSession> OpenDemo();

// A contract of one section (heading 0001) with items 0010 (100 EA at
// 2.00) and 0020 (10 TON at 50.00), the demo's number formats, the given
// contract flags, and a subcontractor table of 20 text fields that are
// never required, without records.
std::unique_ptr<CContract> SmallContract(uint16_t flags);

// A first-tier subcontractor of the small contract holding line 0010 (with
// what the tier had left, as checking "Use?" gives it).
CSubcontract& UsingTheLine(EditSession& s, const std::string& name = "A");

// Two first-tier subcontractors holding line 0010: A with `quantityOfA`
// entered, then B with what the tier had left.
struct TwoSubcontractors {
    CSubcontract& a;
    CSubcontract& b;
};
TwoSubcontractors TwoOnTheLine(EditSession& s, const char* quantityOfA);

// The value of a change that must be made; a refusal fails the test.
AppliedEdit Made(EditResult result);

} // namespace kestrel::test
