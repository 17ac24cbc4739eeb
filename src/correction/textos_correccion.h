#pragma once

#include <QString>
#include <QVariant>

// The statements of the correction run.
namespace correction {

// Purchase vouchers (type fcc) whose stock rows have no account on their header: one row
// per type, voucher and account, the header missing or its account NULL.
QString TextoSeleccion();

// Deletes every stock row of the one voucher a selected row names. An apostrophe in a
// value is doubled and a Null value matches with IS NULL, so no other voucher is touched.
QString TextoBorrado(const QVariant& tc, const QVariant& idComprobante);

// The condition naming one voucher's stock rows, as the deletion writes it; the journal
// reads the rows with the same condition.
QString CondicionComprobante(const QVariant& tc, const QVariant& idComprobante);

// The same voucher's stock rows counted, for a dry run.
QString TextoConteo(const QVariant& tc, const QVariant& idComprobante);

// The status line while a voucher is corrected: "Corrigiendo... fcc0001-00000042".
QString TextoEstado(const QVariant& tc, const QVariant& idComprobante);

}  // namespace correction
