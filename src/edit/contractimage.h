#pragma once
// What an edit changed, kept so that it can be taken back: the inverse of
// the change. While the edit is made, the parts of the contract it (with
// its follow-up) may touch are imaged before they change; once it is made,
// Settle drops from the image everything the edit left as it was, so that
// what stays is the value before the change of every value it changed, and
// an undo step is as large as the change, not as the contract.
//
// Exchanging the image with the contract puts those values back and leaves
// in the image what was there instead: the same image undoes and then
// redoes, as often as asked. A command that makes its change when first
// done and exchanges its image for every undo and redo after that needs
// nothing more.
//
// Records are known by identity (their address), never by row number: a
// record that an edit deletes is handed to the image, which keeps it alive,
// so that the undone deletion brings back the very same record.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CContract;
class CSubcontract;

class ContractImage {
public:
    ContractImage();
    ~ContractImage();
    ContractImage(ContractImage&&) noexcept;
    ContractImage& operator=(ContractImage&&) noexcept;
    ContractImage(const ContractImage&) = delete;
    ContractImage& operator=(const ContractImage&) = delete;

    // The parts, each taken from the contract as it stands now. Taking a
    // part twice keeps the first image of it.
    //
    // Contract flags, totals, and the flags and subcontracted totals of both
    // tables.
    void TakeHeader(const CContract& contract);
    // The flags and the amount cell of every record of both tables.
    void TakeRecordStates(const CContract& contract);
    // The record's own values: flags, cells and parent (not its sub-items:
    // a change of those takes their lines).
    void TakeRecord(const CSubcontract& record);
    // The sub-item of one contract line in every subcontractor record
    // (present or absent, and its place in the record's map order).
    void TakeLine(const CContract& contract, std::string_view line);
    // Only the flags of the sub-items of one contract line, in every
    // subcontractor record that has one (for changes that renew the
    // over-commit marks of a line without adding or removing sub-items).
    void TakeLineFlags(const CContract& contract, std::string_view line);
    // Flags and numbers of every item and heading.
    void TakeItems(const CContract& contract);
    // The order of the subcontractor records and every record's parent.
    void TakeRecordOrder(const CContract& contract);
    // One data template (present or absent, with its place in the map).
    void TakeTemplate(const CContract& contract, std::string_view name);

    // The whole contract as it was before a change that replaces nearly
    // all of it (an amendment carried over): `before` holds what the
    // contract held, exchanged whole with the contract on every undo and
    // redo. An image holding it holds nothing else.
    void TakeWhole(std::unique_ptr<CContract> before);

    // Keeps a record that the edit took out of the contract, so that the
    // exchange can put it back. Only after TakeRecordOrder.
    void Keep(std::unique_ptr<CSubcontract> record);

    // The edit is made: keeps of each part only what the contract now
    // holds otherwise. Nothing can be taken after this.
    void Settle(const CContract& contract);

    // Puts every value back into the contract as imaged, and keeps in this
    // image what the contract held instead.
    void Exchange(CContract& contract);

    // The records whose sub-items of the imaged lines the contract now
    // holds otherwise than the image (values, flags, or the sub-item itself
    // come or gone), each once.
    std::vector<const CSubcontract*> ChangedSubItemRecords() const;

    bool IsEmpty() const;
    // How many values the image holds (a record's flags, a cell, a
    // sub-item, an item's numbers, a place in the order, ...).
    size_t Size() const;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace kestrel
