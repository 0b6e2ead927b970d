#include "print/reportpaper.h"

#include <algorithm>
#include <array>

namespace kestrel {

QPageSize LocalePageSize(const QLocale& locale)
{
    static constexpr std::array kLetterTerritories = {QLocale::UnitedStates,
                                                      QLocale::Canada,
                                                      QLocale::Mexico,
                                                      QLocale::Philippines,
                                                      QLocale::Chile,
                                                      QLocale::Colombia,
                                                      QLocale::CostaRica,
                                                      QLocale::DominicanRepublic,
                                                      QLocale::ElSalvador,
                                                      QLocale::Guatemala,
                                                      QLocale::Nicaragua,
                                                      QLocale::Panama,
                                                      QLocale::PuertoRico,
                                                      QLocale::Venezuela,
                                                      QLocale::UnitedStatesOutlyingIslands,
                                                      QLocale::UnitedStatesVirginIslands};
    // The C (POSIX) locale names no country: the program's own paper, Letter,
    // as the contracts it prints are American.
    const bool letter = locale.language() == QLocale::C ||
                        locale.measurementSystem() == QLocale::ImperialUSSystem ||
                        std::find(kLetterTerritories.begin(), kLetterTerritories.end(), locale.territory()) !=
                            kLetterTerritories.end();
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

} // namespace kestrel
