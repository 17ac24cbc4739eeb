#include "correction/corrida_correccion.h"

#include "correction/textos_correccion.h"
#include "correction/diario_borrado.h"
#include "platform/prompts.h"
#include "platform/runtime_error.h"
#include "utility/library.h"
#include "utility/transaction.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace correction {

namespace {

// Vouchers per journal sync: the first batches are small, so a run that fails early has
// done little; then they grow, so the syncs cost little against the deletions.
constexpr int kPrimerLote = 1;
constexpr int kLoteMayor = 512;

using Comprobante = std::pair<QVariant, QVariant>;

// One batch: its vouchers' rows journaled and on disk, then deleted, in one transaction
// that holds the write lock from the first read, so that no row joins a voucher unseen.
// Each voucher shows in the status line right before its deletion (the first one before
// the batch begins). A deletion that fails keeps the vouchers deleted before it (when the
// engine still can) and raises its error.
void corregirLote(utility::DataAccess& datos, DiarioBorrado& diario, platform::Recordset& rsDatos, int tamano,
                  LineaEstado& status) {
    std::vector<Comprobante> lote;
    lote.reserve(size_t(tamano));
    for (; int(lote.size()) < tamano && !rsDatos.eof(); rsDatos.moveNext())
        lote.emplace_back(rsDatos.fields(QStringLiteral("TC")).value(), rsDatos.fields(QStringLiteral("IdComprobante")).value());
    if (lote.empty()) return;
    status.mostrar(TextoEstado(lote.front().first, lote.front().second));
    // Rolled back on every way out that does not commit: nothing of the batch is deleted
    // unless its journal part is on disk.
    utility::Transaction transaccion(datos);
    for (const Comprobante& v : lote) diario.agregarComprobante(v.first, v.second);
    diario.sincronizar();
    for (size_t i = 0; i < lote.size(); ++i) {
        if (i > 0) status.mostrar(TextoEstado(lote[i].first, lote[i].second));
        try {
            datos.ExecuteSql(TextoBorrado(lote[i].first, lote[i].second));
        } catch (...) {
            try {
                transaccion.commit();
                diario.loteConfirmado();
            } catch (const platform::RuntimeError&) {
                // The engine gave the transaction up: the journal keeps the whole batch.
            }
            throw;
        }
    }
    transaccion.commit();
    diario.loteConfirmado();
}

}  // namespace

void CorregirComprobantes(platform::Recordset& rsDatos, LineaEstado& status) {
    utility::DataAccess& datos = utility::dataAccess();
    status.mostrar(QStringLiteral("Buscando Datos"));
    datos.OpenRecordset(TextoSeleccion(), rsDatos, 0, 1, -1);
    if (!rsDatos.bof()) {
        rsDatos.moveFirst();
        // The rows were fixed when the recordset opened: the deletions never change them.
        DiarioBorrado diario(datos, TextoSeleccion(), ajustesDiario());
        try {
            for (int tamano = kPrimerLote; !rsDatos.eof(); tamano = std::min(2 * tamano, kLoteMayor))
                corregirLote(datos, diario, rsDatos, tamano, status);
        } catch (const platform::RuntimeError& e) {
            diario.detenida(e.description());
            throw;
        }
        diario.terminar();
    }
    status.mostrar(QString());
    platform::MsgBox(QStringLiteral("Proceso Finalizado!"), platform::vbOKOnly);
}

int ContarComprobantes(platform::Recordset& rsDatos, LineaEstado& out) {
    utility::DataAccess& datos = utility::dataAccess();
    datos.OpenRecordset(TextoSeleccion(), rsDatos, 0, 1, -1);
    int comprobantes = 0;
    platform::Recordset conteo;
    for (rsDatos.bof() ? void() : rsDatos.moveFirst(); !rsDatos.eof(); rsDatos.moveNext()) {
        const QVariant tc = rsDatos.fields(QStringLiteral("TC")).value();
        const QVariant id = rsDatos.fields(QStringLiteral("IdComprobante")).value();
        datos.OpenRecordset(TextoConteo(tc, id), conteo, 0, 1, -1);
        const QString filas = conteo.fields(0).value().toString();
        datos.CloseRecordset(conteo);
        out.mostrar(QStringLiteral("%1 %2\t%3 filas de stock")
                     .arg(tc.toString(), id.isNull() ? QStringLiteral("(NULL)") : id.toString(), filas));
        ++comprobantes;
    }
    out.mostrar(QStringLiteral("%1 comprobantes a corregir (no se borró nada)").arg(comprobantes));
    return comprobantes;
}

}  // namespace correction
