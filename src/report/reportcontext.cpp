#include "report/reportcontext.h"

#include <memory>

#include "calc/evaluator.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/fieldprinter.h"
#include "report/reportfault.h"
#include "report/templatecompiler.h"

namespace kestrel {

namespace {

// Templates below this length are compiled once per run and kept.
constexpr size_t kCacheLimit = 1024;
// A template that calls itself (directly or round about) would otherwise
// recurse until the stack is gone.
constexpr int kMaxCallDepth = 32;

void ClearUsed(CompiledTemplate& compiled)
{
    struct Walk {
        static void Cond(TemplateCond* c)
        {
            if (!c)
                return;
            if (c->field)
                c->field->used = false;
            Cond(c->left.get());
            Cond(c->right.get());
        }
    };
    for (auto& line : compiled.lines) {
        for (auto& seq : line) {
            if (seq.thenField)
                seq.thenField->used = false;
            if (seq.elseField)
                seq.elseField->used = false;
            Walk::Cond(seq.cond.get());
        }
    }
}

} // namespace

CReportContext::CReportContext(CContract& contract, Evaluator& evaluator, const CDataMap<CPlate>* templates)
    : m_contract(contract), m_eval(evaluator), m_templates(templates ? templates : &contract.m_DataTemplates)
{
}

CPlate* CReportContext::FindTemplate(std::string_view name) const
{
    if (CPlate* p = m_templates->Lookup(name))
        return p;
    return m_contract.m_DataTemplates.Lookup(name);
}

int CReportContext::PrintTemplate(std::string_view name)
{
    CPlate* plate = FindTemplate(name);
    if (!plate)
        return 0;
    if (m_depth >= kMaxCallDepth)
        ThrowReportFault("Templates call each other too deeply in template: %s", std::string(name).c_str());

    struct ScopeGuard {
        CReportContext& c;
        ScopeGuard(CReportContext& ctx, std::string_view name) : c(ctx)
        {
            c.m_scopes.push_back(Scope{name, {}});
            ++c.m_depth;
        }
        ~ScopeGuard()
        {
            c.m_scopes.pop_back();
            --c.m_depth;
        }
    } guard(*this, name);

    const std::string_view text = TextView(plate->m_strText);
    int total = 0;
    if (text.size() < kCacheLimit) {
        if (!plate->m_pCompiled) {
            std::shared_ptr<CompiledTemplate> compiled = CTemplateCompiler(name, &m_contract).Compile(text);
            plate->m_pCompiled = std::static_pointer_cast<void>(compiled);
        }
        // Held here so that the compiled form outlives this printing even if
        // a nested call released it.
        const std::shared_ptr<CompiledTemplate> compiled =
            std::static_pointer_cast<CompiledTemplate>(plate->m_pCompiled);
        ClearUsed(*compiled);
        for (auto& line : compiled->lines)
            total += CFieldPrinter::PrintLine(*this, line, name);
    } else {
        const CTemplateCompiler compiler(name, &m_contract);
        std::string lineText;
        for (std::string_view l : CTemplateCompiler::SplitLines(text)) {
            lineText.assign(l);
            lineText.push_back('\n');
            TemplateLine line = compiler.CompileLine(lineText);
            total += CFieldPrinter::PrintLine(*this, line, name);
        }
    }
    return total;
}

int CReportContext::MeasureTemplate(std::string_view name)
{
    struct MeasureGuard {
        CPageEngine& e;
        bool was;
        explicit MeasureGuard(CPageEngine& engine) : e(engine), was(engine.Measuring())
        {
            e.SetMeasuring(true);
        }
        ~MeasureGuard() { e.SetMeasuring(was); }
    } guard(m_engine);
    return PrintTemplate(name);
}

int CReportContext::ShownPageNumber() const
{
    return m_engine.PageOpen() ? m_engine.PageNumber() : m_engine.PageNumber() + 1;
}

void CReportContext::SetSpecials()
{
    SetSpecial("@Page", ShownPageNumber());
    SetSpecial("@Line", m_engine.Line());
    SetSpecial("@HeaderSize", 0);
    SetSpecial("@FooterSize", m_footerSize);
    SetSpecial("@PageWidth", m_engine.Columns());
    SetSpecial("@PageHeight", m_engine.Lines());
    SetSpecial("@SubIndex", m_subIndex);
    SetSpecial("@SubItemIndex", m_subItemIndex);
    SetSpecial("@LineIndex", m_linePass);
}

void CReportContext::SetSpecial(std::string_view name, double value)
{
    // An '@' name is created as a variable and no expression can make it
    // anything else, so this can only fail for want of memory; the
    // expression then reads the name as it stood.
    static_cast<void>(m_eval.SetVariable(name, value));
}

double CReportContext::Evaluate(std::string_view text)
{
    const double value = m_eval.Evaluate(text);
    m_evalSteps += m_eval.LastSteps();
    if (m_evalLimit > 0 && m_evalSteps > m_evalLimit) {
        const std::string name(m_scopes.empty() ? std::string_view() : m_scopes.back().templateName);
        ThrowReportFault("Expressions take too long to evaluate in template: %s", name.c_str());
    }
    return value;
}

void CReportContext::SetCurrentSub(int index)
{
    m_subIndex = index;
    m_subItemsValid = false;
}

CSubcontract* CReportContext::CurrentSub() const
{
    const CWinMeta* table = m_contract.m_pSubTable.get();
    return table ? table->m_Records.GetAt(m_subIndex) : nullptr;
}

std::pair<const CItem*, const CSubItem*> CReportContext::CurrentSubItem()
{
    if (!m_subItemsValid) {
        // The sub-items in contract order, found once per subcontractor.
        m_subItems.clear();
        if (const CSubcontract* sub = CurrentSub()) {
            for (const auto& item : m_contract.m_Items) {
                if (!item || item->IsHeading())
                    continue;
                if (const CSubItem* si = sub->FindSubItem(TextView(item->m_strLineNumber)))
                    m_subItems.emplace_back(item.get(), si);
            }
        }
        m_subItemsValid = true;
    }
    if (m_subItemIndex < 0 || static_cast<size_t>(m_subItemIndex) >= m_subItems.size())
        return {nullptr, nullptr};
    return m_subItems[static_cast<size_t>(m_subItemIndex)];
}

void CReportContext::LoadFieldState(int code, int& position, Text& remaining) const
{
    position = 0;
    remaining.reset();
    if (m_scopes.empty())
        return;
    for (const auto& s : m_scopes.back().fields) {
        if (s.code == code) {
            position = s.position;
            remaining = s.remaining;
            return;
        }
    }
}

void CReportContext::StoreFieldState(int code, int position, const Text& remaining)
{
    if (m_scopes.empty())
        return;
    for (auto& s : m_scopes.back().fields) {
        if (s.code == code) {
            s.position = position;
            s.remaining = remaining;
            return;
        }
    }
    m_scopes.back().fields.push_back(FieldState{code, position, remaining});
}

void CReportContext::CountWork()
{
    if (StopAsked())
        ThrowReportFault("The report was stopped");
    if ((m_workLimit > 0 && ++m_work > m_workLimit) ||
        (m_pageLimit > 0 && m_engine.PageCount() > m_pageLimit))
        ThrowReportFault("The report is too large to lay out");
}

void CReportContext::RenewCheckValue()
{
    if (m_checkValueCurrent)
        return;
    // CHECK shows the value of the contract as printed, not as last saved.
    m_contract.m_dwCheck = ComputeCheckValue(m_contract);
    m_checkValueCurrent = true;
}

void CReportContext::ReleaseTemplates()
{
    m_templates->ForEach([](const std::string&, CPlate& p) { p.m_pCompiled.reset(); });
    m_contract.m_DataTemplates.ForEach([](const std::string&, CPlate& p) { p.m_pCompiled.reset(); });
}

} // namespace kestrel
