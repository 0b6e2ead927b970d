#include "cli/editscript.h"

#include <nlohmann/json.hpp>

#include <set>

#include "calc/codepage.h"
#include "calc/formats.h"
#include "edit/contractedits.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::cli {

namespace {

using nlohmann::json;

// A fault found in the edit being read; ends the reading of the script.
struct Invalid {
    std::string text;
};

struct OpInfo {
    const char* name;
    ScriptOp op;
    std::set<std::string> arguments; // every argument the op knows, `op` besides
};

const std::vector<OpInfo>& Ops()
{
    static const std::vector<OpInfo> ops = {
        {"addSubcontractor", ScriptOp::AddSubcontractor, {"parent"}},
        {"deleteSubcontractor", ScriptOp::DeleteSubcontractor, {"sub"}},
        {"moveSubcontractor", ScriptOp::MoveSubcontractor, {"sub", "parent"}},
        {"setCell", ScriptOp::SetCell, {"sub", "misc", "field", "text"}},
        {"useItem", ScriptOp::UseItem, {"sub", "line", "use"}},
        {"setSubItem",
         ScriptOp::SetSubItem,
         {"sub", "line", "quantity", "unitPrice", "extension", "partial", "remarks"}},
        {"setItem", ScriptOp::SetItem, {"line", "quantity", "unitPrice"}},
        {"setTemplate", ScriptOp::SetTemplate, {"name", "text"}},
        {"undo", ScriptOp::Undo, {}},
        {"redo", ScriptOp::Redo, {}},
    };
    return ops;
}

// The arguments of one edit object, each read with its type.
class Arguments {
public:
    explicit Arguments(const json& object) : m_object(object) {}

    bool Has(const char* key) const { return m_object.contains(key); }

    std::string Text(const char* key) const
    {
        const json& v = Get(key);
        if (!v.is_string())
            throw Invalid{"Argument '" + std::string(key) + "' must be a text"};
        return Convert(key, v.get_ref<const std::string&>());
    }
    // A text to be stored or typed: a character Windows-1252 cannot hold
    // makes the edit a refused one, named in `refusal` (the first one).
    std::string Value(const char* key, std::string& refusal) const
    {
        std::string text = Text(key);
        if (refusal.empty())
            if (const Result<std::string> exact = TypedText(Get(key).get_ref<const std::string&>()); !exact)
                refusal = exact.errorText() + " (argument '" + key + "')";
        return text;
    }
    std::optional<std::string> OptionalValue(const char* key, std::string& refusal) const
    {
        return Has(key) ? std::optional<std::string>(Value(key, refusal)) : std::nullopt;
    }
    // A text, or null for none.
    std::optional<std::string> TextOrNull(const char* key) const
    {
        if (Get(key).is_null())
            return std::nullopt;
        if (!Get(key).is_string())
            throw Invalid{"Argument '" + std::string(key) + "' must be a text or null"};
        return Text(key);
    }
    bool Bool(const char* key) const
    {
        const json& v = Get(key);
        if (!v.is_boolean())
            throw Invalid{"Argument '" + std::string(key) + "' must be true or false"};
        return v.get<bool>();
    }
    std::optional<bool> OptionalBool(const char* key) const
    {
        return Has(key) ? std::optional<bool>(Bool(key)) : std::nullopt;
    }
    const json& Get(const char* key) const
    {
        auto it = m_object.find(key);
        if (it == m_object.end())
            throw Invalid{"Missing argument '" + std::string(key) + "'"};
        return *it;
    }

private:
    static std::string Convert(const char* key, const std::string& utf8)
    {
        // The model's texts end at their first NUL, as the file's do.
        if (utf8.find('\0') != std::string::npos)
            throw Invalid{"Argument '" + std::string(key) + "' holds a NUL character"};
        Result<std::string> text = Utf8ToCp1252(utf8);
        if (!text)
            throw Invalid{"Argument '" + std::string(key) + "': " + text.errorText()};
        return std::move(text).value();
    }

    const json& m_object;
};

const OpInfo& FindOp(const json& object)
{
    const Arguments args(object);
    const std::string name = args.Text("op");
    for (const OpInfo& info : Ops())
        if (name == info.name)
            return info;
    throw Invalid{"Unknown op '" + name + "'"};
}

void CheckArgumentNames(const json& object, const OpInfo& info)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.key() != "op" && !info.arguments.count(it.key()))
            throw Invalid{"Unknown argument '" + it.key() + "' for op '" + info.name + "'"};
}

const CWinMeta& SubTable(const CContract& contract)
{
    if (!contract.m_pSubTable)
        throw Invalid{"The contract has no subcontractor table"};
    return *contract.m_pSubTable;
}

std::string Line(const Arguments& args, const CContract& contract)
{
    std::string line = args.Text("line");
    if (!contract.FindItemByLineNumber(line))
        throw Invalid{"The contract has no item with line number '" + line + "'"};
    return line;
}

// The field by index or by name (without regard to case).
int Field(const Arguments& args, const CWinMeta& table, const char* form)
{
    const json& v = args.Get("field");
    if (v.is_number_integer()) {
        // A number as written: one past 2^63 is no field -1.
        if (!v.is_number_unsigned() || v.get<uint64_t>() >= static_cast<uint64_t>(table.m_Fields.GetSize()))
            throw Invalid{std::string("The ") + form + " form has no field " + v.dump()};
        return static_cast<int>(v.get<uint64_t>());
    }
    if (!v.is_string())
        throw Invalid{"Argument 'field' must be a field index or name"};
    const std::string name = args.Text("field");
    const int index = table.FindField(name);
    if (index < 0)
        throw Invalid{std::string("The ") + form + " form has no field '" + name + "'"};
    return index;
}

void ReadCell(const Arguments& args, const CContract& contract, ScriptEdit& e)
{
    e.misc = args.Has("misc") && args.Bool("misc");
    if (e.misc && args.Has("sub"))
        throw Invalid{"Give either 'sub' or 'misc', not both"};
    if (e.misc) {
        const CWinMeta* misc = contract.m_pMiscTable.get();
        if (!misc || misc->m_Records.IsEmpty())
            throw Invalid{"The contract has no miscellaneous data"};
        e.field = Field(args, *misc, "miscellaneous data");
    } else {
        e.sub = args.Text("sub");
        e.field = Field(args, SubTable(contract), "subcontractor");
    }
    e.text = args.Value("text", e.refusal);
}

ScriptEdit ReadEdit(const json& object, const CContract& contract)
{
    if (!object.is_object())
        throw Invalid{"An edit must be a JSON object"};
    const OpInfo& info = FindOp(object);
    CheckArgumentNames(object, info);
    const Arguments args(object);
    ScriptEdit e;
    e.op = info.op;
    if (info.arguments.count("sub") && e.op != ScriptOp::SetCell) {
        SubTable(contract);
        e.sub = args.Text("sub");
    }
    switch (e.op) {
    case ScriptOp::AddSubcontractor:
        // Without a subcontractor table the edit layer refuses the change.
        if (args.Has("parent"))
            e.parent = args.TextOrNull("parent");
        break;
    case ScriptOp::MoveSubcontractor: e.parent = args.TextOrNull("parent"); break;
    case ScriptOp::SetCell: ReadCell(args, contract, e); break;
    case ScriptOp::UseItem:
        e.line = Line(args, contract);
        e.use = args.Bool("use");
        break;
    case ScriptOp::SetSubItem:
        e.line = Line(args, contract);
        e.extension = args.OptionalValue("extension", e.refusal);
        e.partial = args.OptionalBool("partial");
        e.remarks = args.OptionalValue("remarks", e.refusal);
        [[fallthrough]];
    case ScriptOp::SetItem:
        if (e.op == ScriptOp::SetItem)
            e.line = Line(args, contract);
        e.quantity = args.OptionalValue("quantity", e.refusal);
        e.unitPrice = args.OptionalValue("unitPrice", e.refusal);
        if (!e.quantity && !e.unitPrice && !e.extension && !e.partial && !e.remarks)
            throw Invalid{std::string(info.name) + " needs at least one of " +
                          (e.op == ScriptOp::SetItem ? "quantity, unitPrice"
                                                     : "quantity, unitPrice, extension, partial, remarks")};
        break;
    case ScriptOp::SetTemplate:
        e.name = args.Value("name", e.refusal);
        e.text = args.Value("text", e.refusal);
        break;
    case ScriptOp::DeleteSubcontractor:
    case ScriptOp::Undo:
    case ScriptOp::Redo: break;
    }
    return e;
}

// Counts the edits of the top-level array without building them, and stops
// once there are more than a run makes: a script of millions of edits is
// refused before it takes memory.
class EditCounter : public nlohmann::json_sax<json> {
public:
    size_t Edits() const { return m_edits; }

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(size_t) override { return Open(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return Close(); }
    bool start_array(size_t) override { return Open(); }
    bool end_array() override { return Close(); }
    bool parse_error(size_t, const std::string&, const nlohmann::detail::exception&) override
    {
        return false;
    }

private:
    bool Value()
    {
        if (m_depth == 1)
            ++m_edits;
        return m_edits <= kMaxScriptEdits;
    }
    bool Open()
    {
        const bool more = Value();
        ++m_depth;
        return more;
    }
    bool Close()
    {
        --m_depth;
        return true;
    }

    size_t m_depth = 0;
    size_t m_edits = 0;
};

// nlohmann's message without its "[json.exception...] " prefix. What it
// last read is quoted as it stood, which may be the very bytes that are not
// UTF-8: those are shown as '?'.
std::string JsonMessage(const char* what)
{
    std::string text(what);
    const size_t end = text.rfind("] ", text.find(' '));
    if (end != std::string::npos)
        text.erase(0, end + 2);
    for (char& c : text)
        if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return text;
}

} // namespace

std::string EditError(const std::string& text, size_t index)
{
    return text + " (edit " + std::to_string(index + 1) + ")";
}

Result<std::vector<ScriptEdit>> ParseEditScript(std::string_view text, const CContract& contract)
{
    using R = Result<std::vector<ScriptEdit>>;
    EditCounter counter;
    (void)json::sax_parse(text.begin(), text.end(), &counter);
    if (counter.Edits() > kMaxScriptEdits) {
        const std::string limit = FormatNumber(static_cast<double>(kMaxScriptEdits), 0, 0, true, false);
        return R::Fail("More than " + limit + " edits: a run makes at most " + limit +
                       "; split them over several runs");
    }
    json doc;
    try {
        doc = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        return R::Fail(JsonMessage(e.what()));
    }
    if (!doc.is_array())
        return R::Fail("The edits must be a JSON array");
    std::vector<ScriptEdit> edits;
    edits.reserve(doc.size());
    for (size_t i = 0; i < doc.size(); ++i) {
        try {
            edits.push_back(ReadEdit(doc[i], contract));
        } catch (const Invalid& invalid) {
            return R::Fail(EditError(invalid.text, i));
        }
    }
    return edits;
}

} // namespace kestrel::cli
