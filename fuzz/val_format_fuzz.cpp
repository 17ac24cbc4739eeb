// Properties of Val and of the quantity texts, for any text: no crash; Val of a number
// Format wrote reads back the same number (to the pattern's decimals); a quantity raised
// and lowered again reads as it did, to one decimal.
#include "fuzz_target.h"
#include "lookup/cantidades.h"
#include "platform/number_format.h"
#include "platform/runtime_error.h"
#include "platform/text_rules.h"

#include <cmath>

STOCKFIX_FUZZ_TARGET(val_format) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    double v = 0;
    try {
        v = platform::Val(text);
    } catch (const platform::RuntimeError& e) {
        FUZZ_CHECK(e.number() == platform::kOverflow);
        return 0;
    }
    FUZZ_CHECK(!std::isnan(v));
    if (std::fabs(v) < 1e12) {
        const QString two = platform::Format(v, QStringLiteral("########0.00"));
        FUZZ_CHECK(std::fabs(platform::Val(two) - v) <= 0.005 + 1e-9 * std::fabs(v));
        const QString up = lookup::cantidadMasUno(two);
        const QString back = lookup::cantidadMenosUno(up);
        FUZZ_CHECK(std::fabs(lookup::leerCantidad(back) - platform::Val(two)) <= 0.1 + 1e-9 * std::fabs(v));
    }
    (void)lookup::cantidadPedida(text);
    (void)platform::Format(text, QStringLiteral("########0.00"));
    return 0;
}
