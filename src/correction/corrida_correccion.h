#pragma once

#include "platform/recordset.h"

#include <QString>

namespace correction {

// Where the run shows what it is doing: the window's status line, or standard output.
class LineaEstado {
public:
    virtual ~LineaEstado() = default;
    virtual void mostrar(const QString& text) = 0;
};

// The correction: selects the vouchers, and for each one shows it and deletes its stock
// rows, then clears the status line and says "Proceso Finalizado!". The rows go to the
// deletion journal (ajustesDiario()) first, batch by batch, each batch synced and then
// deleted in one transaction. No error handling of its own: a failure stops the run where
// it is; the batches deleted before it stay, and so do the vouchers of its own batch
// deleted before it when the engine keeps the transaction.
void CorregirComprobantes(platform::Recordset& rsDatos, LineaEstado& status);

// The same selection, each voucher printed with the number of its stock rows; nothing is
// deleted. Returns the number of vouchers.
int ContarComprobantes(platform::Recordset& rsDatos, LineaEstado& out);

}  // namespace correction
