#pragma once

#include "correction/columnas_diario.h"
#include "correction/formato_diario.h"
#include "platform/append_file.h"
#include "platform/runtime_error.h"

#include "utility/statement.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace utility {
class DataAccess;
}

namespace correction {

// The first line of every run in a journal file; appending and restoring look for it.
inline constexpr const char* kFirmaDiario = diario::kFirma;

// Where journals go and who hears of a new one.
struct AjustesDiario {
    QString archivo;                                   // every run appends here; empty: a new file per run
    std::function<void(const QString& path)> alAbrir;  // told the path once the header is on disk
};
AjustesDiario& ajustesDiario();

// The folders a new journal goes to, in order of preference: "diarios" in the application
// folder (unless the program is installed in a system folder), then "stockfix/diarios" in
// the user's data folder.
QStringList carpetasDiario();

// Another run holds the journal: this one stops before it deletes anything.
class DiarioEnUso : public platform::RuntimeError {
public:
    explicit DiarioEnUso(const QString& path);
};

// The deletion journal: a T-SQL script that puts back every stock row a run deletes.
// Rows are added voucher by voucher into a pending part; sincronizar() writes the pending part
// and waits until it is on disk. Nothing a journal covers may be deleted before its sync.
// The run holds the file locked from its header to its last line. Failures raise a run-time
// error naming the file.
class DiarioBorrado {
public:
    // Creates the file (or appends to settings.archivo) and writes the header, synced.
    DiarioBorrado(utility::DataAccess& session, const QString& selection, const AjustesDiario& settings);
    DiarioBorrado(const DiarioBorrado&) = delete;
    DiarioBorrado& operator=(const DiarioBorrado&) = delete;

    const QString& ruta() const { return ruta_; }

    // Reads the voucher's stock rows, as the voucher's deletion will find them, and adds
    // one idempotent insert per row. Within a transaction that holds the write lock the
    // rows cannot change before the deletion. Returns the number of rows.
    int agregarComprobante(const QVariant& tc, const QVariant& idComprobante);
    void sincronizar();
    // The batch synced last was committed: said with the next sync.
    void loteConfirmado();
    // The closing comment with the run's counts, synced.
    void terminar();
    // A run that stopped: says so in the file, best effort, never raises.
    void detenida(const QString& why) noexcept;

    int comprobantes() const { return comprobantes_; }
    long long filas() const { return filas_; }

private:
    void abrir(const AjustesDiario& settings);
    void abrirNombrado(const QString& file);
    void cerrarLineaCortada();
    int leerFilas(utility::Statement& q, const std::vector<ColumnaDiario>& columns, QString& block);
    void escribirEncabezado(const QString& selection);
    void escribir(const QByteArray& bytes);
    QString sinClaves(const QString& text) const;
    [[noreturn]] void fallar(const QString& what) const;

    utility::DataAccess& sesion_;
    Dialecto dialecto_;
    ColumnasDiario columnas_;
    QStringList nombresEntreCorchetes_;
    QString lecturas_;   // what the row query reads
    utility::Statement porComprobante_;  // SQLite read natively: the row query prepared once
    QString ruta_;
    platform::AppendFile archivo_;
    QString pendiente_;
    QString confirmados_;  // batch lines: written before anything else at the next sync
    int comprobantes_ = 0;
    long long filas_ = 0;
    int comprobantesLote_ = 0;  // since the last committed batch
    long long filasLote_ = 0;
    int comprobantesSincronizados_ = 0;  // in the part synced last
    long long filasSincronizadas_ = 0;
};

}  // namespace correction
