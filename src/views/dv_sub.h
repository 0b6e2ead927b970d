#pragma once
// The subcontractor record form: the form of the contract's subcontractor
// definition, bound to one subcontractor, with the status line "< SUBCONTRACT
// RECORD IS INCOMPLETE >" across its top. The rules of the record (sub type,
// vendor and work types, the amount and its Ironbark floor, the lock) are
// the edit layer's; the form shows their results. A vendor drop-down finds
// its entry by any part of its number, name or address as the user types,
// and lists what it finds with the three in columns.
//
// The form is kept when the pane shows another node and bound again to the
// next subcontractor chosen: its controls are built once.

#include <map>

#include "views/dv_template.h"

namespace kestrel {

class CListLookup;
class CSubStatusLine;

class CDV_Sub : public CDV_Template {
    Q_OBJECT
public:
    explicit CDV_Sub(QWidget* parent = nullptr);

    bool IsReusable() const override { return true; }
    CWinMeta* GetFormMeta() const override;
    CSubcontract* GetCurrentRecord(int index = -1) const override;
    void FillFieldList(int field) override;
    void RefreshAfterChange() override;

    CSubStatusLine* StatusLine() const { return m_status; }
    // The lookup of a vendor drop-down the user may type into; else null.
    CListLookup* VendorLookup(int field) const;

protected:
    int TopBand() const override;
    void OnFormBuilt() override;
    void OnFormSized() override;

private:
    QFont StatusFont() const;

    CSubStatusLine* m_status = nullptr;
    std::map<int, CListLookup*> m_lookups;
};

} // namespace kestrel
