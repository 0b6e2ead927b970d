#pragma once
// The compiled form of a template: lines of segments (SEQ), condition trees
// (COND), fields (FIELD) and their options.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/contract/values.h"

namespace kestrel {

struct CatalogueEntry;

struct FieldOption {
    int code = 0;
    Text value; // null when no value was written
};

struct TemplateField {
    Text text; // literal text, expression, or bracketed template name
    int code = 0;
    uint16_t options = 0;
    const CatalogueEntry* entry = nullptr;
    // Newest first, so that looking up one option finds the one written last.
    std::vector<FieldOption> optionList;

    // Run-time state.
    int position = 0;
    Text remaining;
    bool used = false;

    const FieldOption* FindOption(int optionCode) const
    {
        for (const auto& o : optionList)
            if (o.code == optionCode)
                return &o;
        return nullptr;
    }
};

// The operator of a condition node; the numbers are the codes of the
// operators' tokens in the template language.
enum CondOperator : int {
    COND_LEAF = 0,
    COND_AND = 1,
    COND_OR = 2,
    COND_GT = 3,
    COND_LT = 4,
    COND_GE = 5,
    COND_LE = 6,
    COND_NE = 7,
    COND_EQ = 8,
};

struct TemplateCond {
    std::unique_ptr<TemplateCond> left;
    std::unique_ptr<TemplateCond> right;
    int op = COND_LEAF;
    std::unique_ptr<TemplateField> field;
};

struct TemplateSeq {
    std::unique_ptr<TemplateCond> cond; // null: always the then branch
    std::unique_ptr<TemplateField> thenField;
    std::unique_ptr<TemplateField> elseField;
};

using TemplateLine = std::vector<TemplateSeq>;

struct CompiledTemplate {
    std::vector<TemplateLine> lines;
};

} // namespace kestrel
