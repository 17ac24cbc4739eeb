// stockfix and lookup-demo run as a script runs them: what each command line writes to
// standard error, and the status it ends with. Nobody is at the windows: lookup-demo
// --aceptar and stockfix under STOCKFIX_SCRIPT=1 write every message box to standard
// error instead of waiting.
#include "programs_fixture.h"

#include <cstdio>

using testsupport::linesOf;
using testsupport::Outcome;

namespace {

// Whether `line` matches `pattern`, where each "*" stands for any text.
bool matches(const QString& line, const QString& pattern) {
    const QStringList pieces = pattern.split(u'*');
    if (!line.startsWith(pieces.front())) return false;
    qsizetype at = pieces.front().size();
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const bool last = i == pieces.size() - 1;
        const qsizetype found = last ? line.size() - pieces[i].size() : line.indexOf(pieces[i], at);
        if (found < at || (last && !line.endsWith(pieces[i]))) return false;
        at = found + pieces[i].size();
    }
    return pieces.size() > 1 || line.size() == pattern.size();
}

const QString kLong = QString(33000, u' ') + u'x';

struct Case {
    const char* program;          // "stockfix" or "lookup-demo"
    QStringList args;             // %DB% the demo database, %DIR% the test's folder, %LONG% 33,001 characters
    bool windows = false;         // offscreen platform (else no display at all)
    bool script = false;          // STOCKFIX_SCRIPT=1
    // A line past the keys' limit: POSIX only. Windows holds a whole command line to 32,767
    // characters, so the key text never reaches the limit there (Windows refuses to start
    // such a line; Wine cuts it short and runs the rest).
    bool pastTheLimit = false;
    // No display at all: POSIX only, a Windows desktop always has one.
    bool withoutDisplay = false;
    int status;
    QStringList err = {};         // whole lines of standard error, in this order ("*": any text)
    const char* out = nullptr;    // standard output's first line, when given
};

const QString kClaves = QStringLiteral("@ParametroAdicional, @Menu, @Server, @DbName, @Usuario, @Password, "
                                       "@UsuarioLogeado, @Caja");
const QString kSinServidor = QStringLiteral("No se pudo abrir la sesión con la base de datos: no se indicó el servidor");
const char kVacio[] = R"({"CampoBusqueda":"","Cantidades":[],"ValorDevuelto":null,"Valores":[]})";

const Case kCases[] = {
    // stockfix, batch and window, as scripts run it
    {.program = "stockfix",
     .args = {"--batch", "@Server=sqlite @DbName=%DB%"},
     .status = 2,
    // "*": on Windows the value runs on to the quote the command line holds.
     .err = {R"(El valor de @Server ("sqlite @DbName=%DB%*") contiene la clave @DbName: falta un ";" antes de @DbName.)"}},
    {.program = "stockfix",
     .args = {"--batch", "@Sever=sqlite; @DbName=%DB%;"},
     .status = 2,
     .err = {kSinServidor, "Falta la clave @Server. Clave desconocida @Sever: las claves son " + kClaves + "."}},
    {.program = "stockfix",
     .args = {"--batch"},
     .status = 2,
     .err = {kSinServidor, R"(La línea de comandos no tiene ninguna clave: indique al menos @Server y @DbName, )"
             R"(por ejemplo "@Server=sqlite; @DbName=demo.sqlite;".)"}},
    {.program = "stockfix",
     .args = {"--batch", "@Server=sqlite; @DbName=%DIR%/basura.sqlite; @Password=a;"},
     .status = 2,
     .err = {"No se pudo abrir la sesión con la base de datos: %DIR%/basura.sqlite: *file is not a database"}},
    {.program = "stockfix",
     .args = {"@Server=sqlite; @DbName=%DIR%/basura.sqlite;"},
     .windows = true, .script = true, .status = 2,
     .err = {"No se pudo abrir la sesión con la base de datos: %DIR%/basura.sqlite: *file is not a database"}},
    {.program = "stockfix",
     .args = {"--batch", "@Server=sqlite; @DbName=%DIR%/sin_cabeceras.sqlite; @Password=a;"},
     .status = 1,
     .err = {"Error '-2147217900' en tiempo de ejecución:", "no such table: C_MV_Cpte"},
     .out = "Buscando Datos"},
    {.program = "stockfix",
     .args = {"--batch", "@Server=sqlite; @DbName=%DB%; @Menu=%LONG%"},
     .pastTheLimit = true,
     .status = 2,
     .err = {"stockfix: la línea de comandos tiene * caracteres y las claves se leen solo hasta el carácter 32767 "
             "(@Menu o su \";\" queda más allá)"}},
    {.program = "stockfix",
     .args = {"--batch", "@Server=sqlite; @DbName=%DB%;"},
     .status = 0,
     .err = {"stockfix: diario de borrado: *.sql"},
     .out = "Buscando Datos"},

    // lookup-demo --aceptar under the offscreen platform
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "V_MA_ARTICULOS", "--clave", "MART", "--devolver", "IDARTICULO", "--devolver",
              "DESCRIPCION", "--campo", "IDARTICULO", "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 0,
     .out = R"({"CampoBusqueda":"DESCRIPCION","Cantidades":[],"ValorDevuelto":"ART00120","Valores":["ART00120","MARTILLO DE CARPINTERO 1/2\""]})"},
    {.program = "lookup-demo",  // a table without a mask record: every column
     .args = {"--aceptar", "--consulta", "TA_CONFIGURACION", "--clave", "cantidad", "--devolver", "CLAVE", "--campo", "VALOR",
              "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 0,
     .out = R"({"CampoBusqueda":"","Cantidades":[],"ValorDevuelto":"2","Valores":["CantidadDecimales"]})"},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "SELECT NADA FROM V_MA_ARTICULOS", "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 1,
     .err = {"[lookup-demo] Error -2147217900: no such column: NADA", "[lookup-demo] Procedimiento: FORM_LOAD",
             "[lookup-demo] respuesta: Anular"},
     .out = kVacio},
    {.program = "lookup-demo",  // a one-letter password stays out of other words
     .args = {"--aceptar", "--consulta", "NO_HAY", "@Server=sqlite; @DbName=%DB%; @Password=a;"},
     .windows = true, .status = 1,
     .err = {"[lookup-demo] Error -2147217900: no such table: NO_HAY", "[lookup-demo] Procedimiento: FORM_LOAD",
             "[lookup-demo] respuesta: Anular"},
     .out = kVacio},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "V_MA_ARTICULOS", "--clave", "MART", "--devolver", "NOPE", "--devolver", "idarticulo",
              "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 0,
     .err = {"lookup-demo: aviso: la consulta no tiene la columna NOPE de --devolver; sus columnas son DESCRIPCION, IDARTICULO"},
     .out = R"({"CampoBusqueda":"DESCRIPCION","Cantidades":[],"ValorDevuelto":"ART00120","Valores":["","ART00120"]})"},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--checks", "--campo", "CODIGOX", "--consulta", "VT_CLIENTES", "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 0,
     .err = {"lookup-demo: aviso: la consulta no tiene la columna CODIGOX de --campo; sus columnas son RAZON_SOCIAL, CODIGO, "
             "CONTACTO"}},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "V_MA_ARTICULOS", "@Server=sqlite @DbName=%DB%"},
     .windows = true, .status = 2,
     .err = {R"(El valor de @Server ("sqlite @DbName=%DB%*") contiene la clave @DbName: falta un ";" antes de @DbName.)"}},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "V_MA_ARTICULOS", "@Server=sqlite; @DbName=%DB%; @Menu=%LONG%"},
     .windows = true, .pastTheLimit = true, .status = 2,
     .err = {"lookup-demo: la línea de comandos tiene * caracteres y las claves se leen solo hasta el carácter 32767 "
             "(@Menu o su \";\" queda más allá)"}},
    {.program = "lookup-demo",
     .args = {"--buscar", "CODIGO", "--consulta", "VT_CLIENTES", "@Server=sqlite; @DbName=%DB%;"},
     .windows = true, .status = 2,
     .err = {"lookup-demo: --buscar ya no existe: *"}},
    {.program = "lookup-demo",
     .args = {"--aceptar", "--consulta", "VT_CLIENTES", "@Server=sqlite; @DbName=%DB%;"},
     .withoutDisplay = true, .status = 2,
     .err = {"lookup-demo: no hay pantalla para la ventana de consulta (un script puede usar QT_QPA_PLATFORM=offscreen con "
             "--aceptar)"}},
};

class CommandLines : public testsupport::ProgramsTest {
protected:
    void SetUp() override {
        ProgramsTest::SetUp();
        QFile junk(dir.filePath(QStringLiteral("basura.sqlite")));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const QString sinCabeceras = dir.filePath(QStringLiteral("sin_cabeceras.sqlite"));
        ASSERT_TRUE(QFile::copy(db, sinCabeceras));
        testsupport::runSql(sinCabeceras, {QStringLiteral("DROP TABLE C_MV_Cpte")});
    }
    QString expand(QString text) const {
        return text.replace(QStringLiteral("%DB%"), db).replace(QStringLiteral("%DIR%"), dir.path())
            .replace(QStringLiteral("%LONG%"), kLong);
    }
};

}  // namespace

TEST_F(CommandLines, EachWritesItsLinesToStandardErrorAndEndsWithItsStatus) {
    for (const Case& c : kCases) {
        const char* leftOut = c.pastTheLimit && !testsupport::kCommandLinesPastTheKeyLimit
                                  ? "Windows holds a command line to 32,767 characters"
                              : c.withoutDisplay && !testsupport::kProgramsCanLackADisplay ? "a Windows desktop always has a display"
                                                                                           : nullptr;
        if (leftOut) {
            std::printf("left out here (%s): %s %s\n", leftOut, c.program, c.args.join(u' ').left(60).toUtf8().constData());
            continue;
        }
        QStringList args;
        for (const QString& a : c.args) args << expand(a);
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QString::fromLatin1(c.program), args.join(u' ').left(200)).toStdString());
        QMap<QString, QString> more;
        if (c.script) more.insert(QStringLiteral("STOCKFIX_SCRIPT"), QStringLiteral("1"));
        const QString binary =
            QString::fromLatin1(c.program) == u"stockfix" ? QStringLiteral(STOCKFIX_BINARY) : lookupDemo;
        const Outcome o = testsupport::runProgram(binary, args, environment(c.windows, more), {}, dir.path());
        EXPECT_EQ(o.status, c.status) << o.err.toStdString();

        // The expected lines, in order, each a whole line of standard error.
        const QStringList err = linesOf(o.err);
        qsizetype at = 0;
        for (const QString& pattern : c.err) {
            const QString wanted = expand(pattern);
            while (at < err.size() && !matches(err[at], wanted)) ++at;
            EXPECT_LT(at, err.size()) << "missing line: " << wanted.toStdString() << "\nin:\n" << o.err.toStdString();
            if (at < err.size()) ++at;
        }
        if (c.err.isEmpty()) {
            EXPECT_EQ(o.err, QString());
        }
        if (c.out) {
            EXPECT_EQ(linesOf(o.out).value(0), QString::fromUtf8(c.out));
        }
        // Nothing the user cannot act on: no Qt SQL complaints, no password.
        EXPECT_FALSE(o.err.contains(QStringLiteral("removeDatabase")));
        EXPECT_FALSE(o.err.contains(QStringLiteral("****")));
    }
}
