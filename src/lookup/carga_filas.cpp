#include "lookup/carga_filas.h"

#include "platform/text_rules.h"
#include "utility/utilities.h"

namespace lookup {

QStringView celdaDeCampo(int campo, QStringView valor, CeldaBuffer& buffer) {
    if (campo == 0) return platform::TrimView(valor);
    buffer.resize(valor.size());
    char16_t* out = buffer.data();
    for (QChar c : valor) *out++ = utility::Utilities::displayChar(c).unicode();
    return QStringView(buffer.data(), buffer.size());
}

void aplicarReglaDeCeldas(std::vector<platform::TextColumn>& columnas) {
    for (size_t i = 0; i < columnas.size(); ++i) {
        platform::TextColumn& col = columnas[i];
        if (i == 0) {
            col.keepParts([](QStringView t) { return platform::TrimView(t); });  // trimming only shortens
        } else {
            char16_t* chars = col.chars();
            for (qsizetype k = 0; k < col.charCount(); ++k)
                chars[k] = utility::Utilities::displayChar(QChar(chars[k])).unicode();
        }
    }
}

bool cargarColumnas(platform::Recordset& rs, platform::ListItemsModel& items) {
    if (items.count() != 0) return false;
    const qsizetype filas = rs.recordCount();
    auto textos = rs.takeTextColumns();
    if (!textos) return false;
    aplicarReglaDeCeldas(*textos);
    items.adoptColumns(std::move(*textos), filas);
    return true;
}

}  // namespace lookup
