#include "views/dv_blank.h"

namespace kestrel {

CDV_Blank::CDV_Blank(QWidget* parent) : CDV(parent)
{
    setObjectName(QStringLiteral("blankView"));
}

} // namespace kestrel
