#pragma once
// The empty view: the right-hand pane with nothing chosen.

#include "views/dv.h"

namespace kestrel {

class CDV_Blank : public CDV {
    Q_OBJECT
public:
    explicit CDV_Blank(QWidget* parent = nullptr);
};

} // namespace kestrel
