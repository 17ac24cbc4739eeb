#pragma once

#include "correction/formato_diario.h"
#include "platform/runtime_error.h"

#include <QString>
#include <vector>

namespace utility {
class DataAccess;
}

namespace correction {

// A journal that cannot be restored as it stands: nothing of it runs.
class DiarioRechazado : public platform::RuntimeError {
public:
    DiarioRechazado(const QString& path, const QString& why);
};

// A deletion journal read back: each row to put back, parsed from its line.
struct SentenciaDiario {
    int linea;
    Dialecto dialecto;  // of the run that wrote it
    diario::Insercion insercion;
    bool confirmada;  // its batch said it committed (a run of before batch lines counts as such)
};
struct GuionDiario {
    QString ruta;
    std::vector<SentenciaDiario> sentencias;
    QString aviso;  // cut lines, a run without its last line: what was left out, and why
};

// Reads a journal. A file that is no journal, holds any line the writer does not write, or
// is damaged before its last line raises DiarioRechazado and nothing runs; a line cut by a run
// that died is left out, with a warning.
GuionDiario LeerDiario(const QString& path);
// The same for a journal's bytes (`path` names it in the messages).
GuionDiario LeerDiarioDeBytes(const QString& path, const QByteArray& bytes);

struct CuentaReposicion {
    long long repuestas = 0;  // rows put back
    long long presentes = 0;  // rows that were already there
    // The same for batches the journal does not say were committed (the run died between
    // writing them and committing): their rows are usually still there.
    long long repuestasSinConfirmar = 0;
    long long presentesSinConfirmar = 0;
};

// Checks the journal against the session (its engine, the table's columns: DiarioRechazado),
// then runs the statements the writer builds from its rows, in one transaction: all rows
// come back, or none.
CuentaReposicion ReponerDiario(utility::DataAccess& session, const GuionDiario& script);

}  // namespace correction
