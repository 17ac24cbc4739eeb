#include "lookup/carga_filas.h"

#include "platform/text_rules.h"
#include "utility/utilities.h"

#include <cstring>

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
        char16_t* chars = col.chars.size() ? &col.chars[0] : nullptr;
        if (i == 0) {
            // Trimming only shortens: the column is compacted in place.
            uint32_t from = 0, to = 0;
            for (size_t r = 0; r < col.ends.size(); ++r) {
                const QStringView t = platform::TrimView(QStringView(chars + from, qsizetype(col.ends[r] - from)));
                from = col.ends[r];
                if (!t.isEmpty()) std::memmove(chars + to, t.utf16(), size_t(t.size()) * sizeof(char16_t));
                to += uint32_t(t.size());
                col.ends[r] = to;
            }
            while (col.chars.size() > to) col.chars.pop_back();
        } else {
            for (size_t k = 0; k < col.chars.size(); ++k) chars[k] = utility::Utilities::displayChar(QChar(chars[k])).unicode();
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
