#pragma once
// What the quote fuzz targets check of a sheet a reader gave: rows in
// ascending order, cells in ascending columns, nothing empty, nothing past
// the limits; and that entering the sheet as a quote into a small contract
// and taking every change back gives the contract's bytes back.

#include <cstdlib>
#include <memory>
#include <string>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "exchange/quoteimport.h"
#include "exchange/quotesheet.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::fuzz {

// Small, so that a run tries many inputs rather than a few large ones.
inline QuoteLimits SmallLimits()
{
    QuoteLimits limits;
    limits.maxFileBytes = std::size_t(1) << 20;
    limits.maxPartBytes = std::size_t(1) << 20;
    limits.maxRows = 2000;
    limits.maxCells = 20000;
    limits.maxSharedStrings = 20000;
    limits.maxDepth = 32;
    return limits;
}

inline void CheckSheet(const QuoteSheet& sheet, const QuoteLimits& limits)
{
    if (sheet.rows.size() > limits.maxRows)
        std::abort();
    int lastRow = 0;
    size_t cells = 0;
    for (const QuoteRow& row : sheet.rows) {
        if (row.number < lastRow || row.number < 1 || row.cells.empty())
            std::abort();
        lastRow = row.number;
        int lastColumn = -1;
        for (const QuoteCell& cell : row.cells) {
            if (cell.column <= lastColumn || cell.text.empty() || row.Cell(cell.column) != cell.text)
                std::abort();
            lastColumn = cell.column;
        }
        cells += row.cells.size();
    }
    if (cells > limits.maxCells)
        std::abort();
}

// Items 0010 to 0050 under a heading, one itemized subcontractor with a
// sub-item received from Ironbark, and a lower tier below it.
inline std::unique_ptr<CContract> SmallContract()
{
    auto c = std::make_unique<CContract>();
    c->m_QuanFormat = {9, 3};
    c->m_UPFormat = {8, 5};
    c->m_ExtFormat = {9, 2};
    FlagSet(c->m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    FlagSet(c->m_wFlags, CONTRACT_IRONBARK_FLOOR, 1);
    FlagSet(c->m_wFlags, CONTRACT_TRACK_PRICES, 1);
    CItem* heading = c->m_Items.Add();
    FlagSet(heading->m_wFlags, ITEM_SECTION, 1);
    heading->m_strLineNumber = std::string("0001");
    for (int i = 1; i <= 5; ++i) {
        CItem* item = c->m_Items.Add();
        item->m_strLineNumber = "00" + std::to_string(i) + "0";
        item->m_strUnit = std::string("EA");
        item->m_fQuantity = 10.0 * i;
        item->m_fUnitPrice = 2.5 * i;
    }
    c->m_pSubTable = std::make_unique<CWinMeta>();
    for (int j = 0; j < 24; ++j) {
        CFieldInfo* f = c->m_pSubTable->m_Fields.Add();
        f->m_iType = FIELD_TEXT;
        f->m_iRequired = kNeverRequired;
    }
    CSubcontract* top = c->m_pSubTable->AddRecord(-1, -1);
    top->SetNumber(1);
    CSubItem* received = top->AddSubItem("0020");
    received->m_fQuan = 15;
    received->m_fUP = 5;
    received->m_fExt = 75;
    received->m_fOrigQuan = 12;
    FlagSet(received->m_wFlags, SUBITEM_FROMIRONBARK, 1);
    CSubcontract* lower = c->m_pSubTable->AddRecord(-1, -1);
    lower->SetNumber(2);
    lower->SetParent(top);
    c->RecalculateContract();
    return c;
}

// Enters the sheet for each subcontractor in turn and takes it all back.
// Every row is a change with its follow-up and check: the first rows are
// enough to reach every rule, and keep a run quick.
inline void CheckImport(QuoteSheet sheet)
{
    if (sheet.rows.size() > 40)
        sheet.rows.resize(40);
    auto contract = SmallContract();
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.RunCheck();
    const auto before = WriteContractStream(*contract);
    auto guessed = GuessQuoteColumns(sheet);
    QuoteColumns columns;
    if (guessed) {
        columns = guessed.value();
    } else {
        columns.line = 0;
        columns.quantity = 1;
        columns.price = 2;
    }
    for (int r = 0; r < 2; ++r) {
        auto import = ImportQuote(edits, *contract->m_pSubTable->m_Records[r], sheet, columns);
        if (!import)
            std::abort();
        if (static_cast<size_t>(import->applied) + import->refused.size() > sheet.rows.size())
            std::abort();
        UndoQuoteImport(edits, import.value());
        if (WriteContractStream(*contract) != before)
            std::abort();
    }
}

} // namespace kestrel::fuzz
