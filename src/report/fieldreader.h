#pragma once
// Finds the value of a template field: positioning in lists and multi-line
// texts, the sources of the catalogue and the specials.

#include <cstdint>
#include <string>

namespace kestrel {

class CReportContext;
struct TemplateField;

struct FieldValue {
    bool has = false;
    std::string text;   // texts
    double number = 0;  // amounts and number expressions
    uint32_t u32 = 0;   // counts, hex values and dates
    uint16_t flags = 0; // the flag word of a flag field
};

class CFieldReader {
public:
    // Reads the field's value, advancing its position and setting its
    // more-follows bits. Throws CReportFault for fields without a source.
    static FieldValue Read(CReportContext& ctx, TemplateField& field);
    // The value of an option's expression, evaluated after the specials are
    // set; SIZE without the option gives the catalogue size, any other
    // absent option 0. present tells whether the option was written.
    static double OptionValue(CReportContext& ctx, const TemplateField& field, int optionCode,
                              bool* present = nullptr);
    // An option value as a whole number within [lo, hi] (0 for no value).
    static int OptionInt(CReportContext& ctx, const TemplateField& field, int optionCode, int lo, int hi,
                         bool* present = nullptr);
};

} // namespace kestrel
