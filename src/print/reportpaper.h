#pragma once
// The paper a report goes on when nothing else says: Letter where the
// system's locale uses it (the United States, Canada, Mexico and the other
// countries of the Americas that kept it, the Philippines), A4 everywhere
// else. The print preview, the printer and the PDF file all start from it,
// so that the pages look the same wherever they go.

#include <QLocale>
#include <QPageSize>

namespace kestrel {

[[nodiscard]] QPageSize LocalePageSize(const QLocale& locale);

} // namespace kestrel
