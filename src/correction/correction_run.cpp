#include "correction/correction_run.h"

#include "correction/correction_sql.h"
#include "platform/prompts.h"
#include "utility/library.h"

namespace correction {

void CorregirComprobantes(platform::Recordset& rsDatos, StatusLine& status) {
    utility::DataAccess& datos = utility::dataAccess();
    status.show(QStringLiteral("Buscando Datos"));
    datos.OpenRecordset(TextoSeleccion(), rsDatos, 0, 1, -1);
    if (!rsDatos.bof()) {
        rsDatos.moveFirst();
        // The rows were fixed when the recordset opened: the deletions never change them.
        while (!rsDatos.eof()) {
            const QVariant tc = rsDatos.fields(QStringLiteral("TC")).value();
            const QVariant id = rsDatos.fields(QStringLiteral("IdComprobante")).value();
            status.show(TextoEstado(tc, id));
            datos.ExecuteSql(TextoBorrado(tc, id));
            rsDatos.moveNext();
        }
    }
    status.show(QString());
    platform::MsgBox(QStringLiteral("Proceso Finalizado!"), platform::vbOKOnly);
}

int ContarComprobantes(platform::Recordset& rsDatos, StatusLine& out) {
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
        out.show(QStringLiteral("%1 %2\t%3 filas de stock")
                     .arg(tc.toString(), id.isNull() ? QStringLiteral("(NULL)") : id.toString(), filas));
        ++comprobantes;
    }
    out.show(QStringLiteral("%1 comprobantes a corregir (no se borró nada)").arg(comprobantes));
    return comprobantes;
}

}  // namespace correction
