#pragma once

#include "platform/list_items_model.h"
#include "platform/recordset.h"
#include "platform/text_column.h"

#include <QStringView>
#include <QVarLengthArray>
#include <vector>

// How the rows of a lookup's result become the list's rows, whichever way the recordset
// was read (SQLite, ODBC in blocks or row by row): one rule per cell, applied either cell by
// cell or to whole columns at once.
namespace lookup {

using CeldaBuffer = QVarLengthArray<char16_t, 256>;

// The list's cell for field `campo` holding `valor` (Null as the empty text): the first
// field trimmed of blanks, the others as DisplayText shows them. The result views `valor`
// or `buffer`.
QStringView celdaDeCampo(int campo, QStringView valor, CeldaBuffer& buffer);

// The same rule over whole columns of texts (column i holds field i), in place.
void aplicarReglaDeCeldas(std::vector<platform::TextColumn>& columnas);

// Loads a whole result at once into an empty list when every field holds text: the
// recordset's buffers become the list's, the rule applied to them, and the recordset is
// left at its end. False (nothing done) otherwise: the caller then reads row by row.
bool cargarColumnas(platform::Recordset& rs, platform::ListItemsModel& items);

}  // namespace lookup
