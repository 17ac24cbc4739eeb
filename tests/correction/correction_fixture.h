#pragma once

#include "correction/corrida_correccion.h"
#include "support/test_env.h"

#include <QStringList>

namespace testsupport {

// Remembers every status text the run shows.
struct RecordedStatus : correction::LineaEstado {
    void mostrar(const QString& text) override { texts << text; }
    QStringList texts;
};

// The two tables of the correction, as the suite declares them, comparing text without case.
inline QStringList correctionSchema() {
    return {QStringLiteral("CREATE TABLE V_MV_Stock (IDMOVIMIENTO INTEGER PRIMARY KEY, TC VARCHAR(4) COLLATE NOCASE, "
                           "IDCOMPROBANTE VARCHAR(40) COLLATE NOCASE, CANTIDAD FLOAT)"),
            QStringLiteral("CREATE INDEX IX_Stock ON V_MV_Stock (TC, IDCOMPROBANTE)"),
            QStringLiteral("CREATE TABLE C_MV_Cpte (TC VARCHAR(4) COLLATE NOCASE, IDCOMPROBANTE VARCHAR(40) COLLATE "
                           "NOCASE, CUENTA VARCHAR(15) COLLATE NOCASE)")};
}

}  // namespace testsupport
