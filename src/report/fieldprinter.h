#pragma once
// Turns field values into printed text, decides conditions and prints
// template lines with their repetitions.

#include <string>
#include <string_view>

#include "report/templatenodes.h"

namespace kestrel {

class CReportContext;

class CFieldPrinter {
public:
    // The printed text of one field. With inCondition the text is not
    // padded. hasValue tells whether the field had a value.
    static std::string FieldText(CReportContext& ctx, TemplateField& field, bool inCondition,
                                 bool* hasValue = nullptr);
    static bool ConditionValue(CReportContext& ctx, const TemplateCond& cond);
    // Prints a line with its repeated passes; returns the lines printed,
    // those of called templates included. Throws CReportFault.
    static int PrintLine(CReportContext& ctx, TemplateLine& line, std::string_view templateName);
};

} // namespace kestrel
