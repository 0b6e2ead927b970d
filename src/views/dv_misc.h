#pragma once
// The miscellaneous-data form: the form of the contract's miscellaneous-data
// definition, showing its one record.

#include "views/dv_template.h"

namespace kestrel {

class CDV_Misc : public CDV_Template {
    Q_OBJECT
public:
    explicit CDV_Misc(QWidget* parent = nullptr);

    CWinMeta* GetFormMeta() const override;
    // Record 0 of the miscellaneous-data table (or the one with that index).
    CSubcontract* GetCurrentRecord(int index = -1) const override;
};

} // namespace kestrel
