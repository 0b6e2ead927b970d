#pragma once
// What the item grid tests share: a small contract with every kind of row
// (sections, an ordinary item, a lump-sum item, fixed-price items with and
// without the option mark), opened in the program, and keys and clicks
// sent to real widgets.

#include <gtest/gtest.h>

#include <QModelIndex>
#include <QString>

#include <memory>
#include <string>

#include "app/guitestsupport.h"

class QWidget;

namespace kestrel {
class CContract;
class CDV_ItemScheduleGrid;
class CDV_SubItem;
class CDV_SubItemGrid;
class CGridView;
class CSubcontract;
} // namespace kestrel

namespace kestrel::test {

// Heading 0001 (alternate code "A1", a long description of two lines),
// items 0010 (3 EA at 2.00), 0020 (lump sum, 1 LS at 500.00) and 0030
// (fixed price, 2 EA at 10.00); heading 0002; items 0040 (fixed-price
// option, 1 EA at 75.00) and 0050 (100 TON at 4.00). Formats 9.3, 8.2 and
// 9.2; a subcontractor table of 24 text fields with first-tier
// subcontractors "Sub 1" to "Sub n"; contract flags 4 and 5 and `flags`.
std::unique_ptr<CContract> ScheduleContract(int subcontractors, uint16_t flags = 0);

// Sends a key press (and release) to a widget.
void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types text into the focused widget below `widget`, key by key.
void TypeText(QWidget* widget, const QString& text);
// A left click in the middle of a grid cell.
void ClickCell(CGridView& grid, const QModelIndex& index);

class ItemGridTest : public ::testing::Test {
protected:
    // Writes the contract, opens it, shows and activates the main window.
    void Open(std::unique_ptr<CContract> contract);
    CContract& Contract();
    CSubcontract* Sub(int row);
    // Chooses "Contract Items".
    CDV_ItemScheduleGrid& Schedule();
    // Chooses a subcontractor's "Subcontractor Items".
    CDV_SubItemGrid& SubItems(const CSubcontract* record);
    CDV_SubItem& Entry();
    // The messages shown so far with their captions.
    QStringList Messages() const;

    ProgramFixture program;
};

} // namespace kestrel::test
