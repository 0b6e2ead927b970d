#pragma once
// The base of the form views laid out like dialog templates (the contract
// header, the subcontractor list, the grids, the sub-item entry, ...).

#include "views/dynaformview.h"

namespace kestrel {

class CDV : public CDynaFormView {
    Q_OBJECT
public:
    explicit CDV(QWidget* parent = nullptr);
};

} // namespace kestrel
