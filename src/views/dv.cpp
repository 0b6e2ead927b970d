#include "views/dv.h"

namespace kestrel {

CDV::CDV(QWidget* parent) : CDynaFormView(parent)
{
}

} // namespace kestrel
