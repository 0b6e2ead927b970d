#pragma once
// Sequences of edits chosen by a source of choices (a seeded generator in
// the property tests, the input's bytes in the fuzz target), made through
// the edit layer with an undo history as the program keeps one: every kind
// of change, with arguments that are sometimes sensible and sometimes not,
// and undo and redo in between.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "edit/contractedits.h"
#include "edit/edithistory.h"

namespace kestrel::test {

class ChoiceSource {
public:
    virtual ~ChoiceSource() = default;
    // A number below bound (bound > 0).
    virtual uint32_t Below(uint32_t bound) = 0;
    // Whether the choices have run out (a generator never does).
    virtual bool Exhausted() const = 0;
};

class RandomChoices : public ChoiceSource {
public:
    explicit RandomChoices(uint32_t seed) : m_engine(seed) {}
    uint32_t Below(uint32_t bound) override;
    bool Exhausted() const override { return false; }

private:
    std::mt19937 m_engine;
};

// Each choice takes one byte (two for a bound above 256); past the end
// every choice is 0.
class ByteChoices : public ChoiceSource {
public:
    ByteChoices(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint32_t Below(uint32_t bound) override;
    bool Exhausted() const override { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

class EditDriver {
public:
    explicit EditDriver(CContractEdits& edits);

    // Makes one change chosen from the source, or an undo or a redo;
    // returns what it was and how it went, for the message of a failure.
    std::string Step(ChoiceSource& choices);

    EditHistory& History() { return m_history; }

private:
    std::string Change(ChoiceSource& c, uint32_t kind);
    std::string SubItemChange(ChoiceSource& c, uint32_t kind);
    std::string ChooseEntry(ChoiceSource& c);
    std::string Made(const std::string& what, EditResult result);
    std::string Made(const std::string& what, const std::vector<EditStep>& steps);
    CSubcontract* PickRecord(ChoiceSource& c, bool orNone);
    std::string PickLine(ChoiceSource& c, const CSubcontract* record);
    std::string PickTyped(ChoiceSource& c);

    CContractEdits& m_edits;
    EditHistory m_history;
    std::vector<std::string> m_lines; // every item's line number
};

} // namespace kestrel::test
