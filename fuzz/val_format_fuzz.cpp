// Properties of Val and of the quantity texts, for any text and in any process locale: no
// crash; Val reads only a period as the decimal point; a number Format wrote (with the
// user's separator) reads back the same (to the pattern's decimals) as a quantity cell; a
// quantity raised and lowered again reads as it did, to one decimal.
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
    // A comma ends the number, whatever the locale: Val never reads past one.
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0) FUZZ_CHECK(platform::Val(text.left(comma)) == v);
    if (std::fabs(v) < 1e12) {
        const QString two = platform::Format(v, QStringLiteral("########0.00"));
        FUZZ_CHECK(std::fabs(lookup::leerCantidad(two) - v) <= 0.005 + 1e-9 * std::fabs(v));
        const QString up = lookup::cantidadMasUno(two);
        const QString back = lookup::cantidadMenosUno(up);
        FUZZ_CHECK(std::fabs(lookup::leerCantidad(back) - lookup::leerCantidad(two)) <= 0.1 + 1e-9 * std::fabs(v));
    }
    // A quantity answer read with the user's separator may overflow ("-,3e737" under a comma
    // locale): the overflow error, never anything else.
    try {
        (void)lookup::cantidadPedida(text);
    } catch (const platform::RuntimeError& e) {
        FUZZ_CHECK(e.number() == platform::kOverflow);
    }
    (void)platform::Format(text, QStringLiteral("########0.00"));
    return 0;
}
