// stockfix: the correction of cancelled purchase vouchers, in its window or in batch mode.
#include "correction/bug_window.h"
#include "correction/corrida_correccion.h"
#include "correction/diario_borrado.h"
#include "correction/reposicion_diario.h"
#include "platform/application.h"
#include "platform/command_line.h"
#include "platform/console_text.h"
#include "platform/script_prompter.h"
#include "platform/unhandled.h"
#include "startup/linea_de_comandos.h"
#include "startup/revision_linea.h"
#include "startup/iniciar_sistema.h"
#include "startup/liberar_objetos.h"
#include "utility/library.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

namespace {

const char kUsage[] =
    "Uso: stockfix [--batch [--dry-run]] [--journal ARCHIVO] CLAVES...\n"
    "     stockfix --restore ARCHIVO CLAVES...\n"
    "\n"
    "Corrige los comprobantes de compras anulados (tipo fcc): borra los movimientos de stock\n"
    "(V_MV_Stock) de cada comprobante cuya cabecera (C_MV_Cpte) falta o no tiene cuenta.\n"
    "Antes de borrar, cada fila va a un diario de borrado (un script T-SQL) que la repone.\n"
    "\n"
    "Opciones:\n"
    "  --batch           corre la corrección sin ventana: cada estado en una línea de la salida,\n"
    "                    luego \"Proceso Finalizado!\"; la ruta del diario va a la salida de errores.\n"
    "  --dry-run         (con --batch) muestra cada comprobante con la cantidad de filas de stock que\n"
    "                    se borrarían, sin borrar nada y sin escribir en la base.\n"
    "  --journal ARCHIVO el diario de borrado va a ARCHIVO (se agrega al final si existe); sin esta\n"
    "                    opción, un archivo nuevo por corrida en la carpeta diarios/ del programa\n"
    "                    (o en ~/.local/share/stockfix/diarios si esa no se puede escribir).\n"
    "  --restore ARCHIVO repone las filas del diario ARCHIVO que no estén en la base y dice cuántas\n"
    "                    volvieron y cuántas ya estaban; correrlo otra vez no cambia nada. Un\n"
    "                    diario de SQL Server también corre con: sqlcmd -x -f 65001 -i ARCHIVO\n"
    "  --help            muestra esta ayuda.\n"
    "\n"
    "Claves de la línea de comandos (cada una con \"=\", su valor y \";\"; sin distinguir mayúsculas):\n"
    "  @Server=servidor;     servidor SQL Server (\"host\", \"host,puerto\" o \"host\\instancia\"),\n"
    "                        o sqlite para una base SQLite\n"
    "  @DbName=base;         base de datos, o la ruta del archivo cuando @Server=sqlite;\n"
    "  @Usuario=usuario;     @Password=clave; (sin @Password, la clave sale de STOCKFIX_PASSWORD)\n"
    "  @UsuarioLogeado=...;  @Caja=...;  @Menu=...;  @ParametroAdicional=...;\n"
    "\n"
    "Estado de salida: 0 hecho; 1 la corrección o la reposición falló o, en modo script\n"
    "(STOCKFIX_SCRIPT=1), se informó un error; 2 línea de comandos incorrecta (o demasiado larga),\n"
    "diario o base de datos que no se pueden usar, sin pantalla o sin sesión.\n"
    "\n"
    "Ejemplos (las comillas hacen de las claves un solo argumento; sin ellas el shell corta en \";\"):\n"
    "  stockfix --batch \"@Server=sqlite; @DbName=build/demo.sqlite;\"\n"
    "  stockfix \"@Server=srv01,1433; @DbName=GESTION; @Usuario=sa;\"   # la clave en STOCKFIX_PASSWORD\n"
    "  stockfix --restore diarios/borrado-20030217-101500.sql \"@Server=sqlite; @DbName=demo.sqlite;\"\n"
    "\n"
    "Variables de entorno: STOCKFIX_PASSWORD (la clave, fuera de la lista de procesos),\n"
    "STOCKFIX_ODBC_DRIVER (controlador ODBC para SQL Server), STOCKFIX_ODBC_OPTIONS (claves que\n"
    "se agregan a la conexión ODBC), STOCKFIX_COMMAND_TIMEOUT (segundos de espera por sentencia),\n"
    "STOCKFIX_SCRIPT=1 (modo script: cada mensaje de la ventana va a la salida de errores con su\n"
    "título, su texto y la respuesta por omisión, sin esperar a nadie).\n";

// Prints each status text on its own line of standard output.
class BatchStatusLine : public correction::LineaEstado {
public:
    void mostrar(const QString& text) override {
        if (text.isEmpty()) return;
        std::fputs(platform::consoleBytes(text).constData(), stdout);
        platform::endLine(stdout);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    bool batch = false, dryRun = false;
    QString journal, restore;
    bool journalGiven = false, restoreGiven = false;
    QList<qsizetype> keys;  // the arguments that hold the suite's keys
    platform::setUpConsole();
    const platform::CommandLine command = platform::programCommandLine(argc, argv);
    const QStringList& arguments = command.arguments;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const QByteArray said = platform::consoleBytes(arg);
        if (arg == u"--help" || arg == u"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == u"--batch") {
            batch = true;
        } else if (arg == u"--dry-run") {
            dryRun = true;
        } else if (arg == u"--journal" || arg == u"--restore") {
            const bool isJournal = arg == u"--journal";
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                std::fprintf(stderr, "stockfix: %s necesita el nombre de un archivo\nPruebe: stockfix --help\n", said.constData());
                return 2;
            }
            // The keys where the file should be: said without repeating them (they may hold the password).
            if (arguments[i + 1].startsWith(u'@')) {
                std::fprintf(stderr, "stockfix: %s necesita el nombre de un archivo antes de las claves\n"
                                     "Pruebe: stockfix --help\n", said.constData());
                return 2;
            }
            (isJournal ? journal : restore) = arguments[++i];
            (isJournal ? journalGiven : restoreGiven) = true;
        } else if (arg.startsWith(QStringLiteral("--"))) {
            std::fprintf(stderr, "stockfix: opción desconocida: %s\nPruebe: stockfix --help\n", said.constData());
            return 2;
        } else {
            keys << i;
        }
    }
    if (dryRun && !batch) {
        std::fputs("stockfix: --dry-run solo se usa junto con --batch\n", stderr);
        return 2;
    }
    if (restoreGiven && (batch || journalGiven)) {
        std::fputs("stockfix: --restore no se combina con --batch, --dry-run ni --journal\n", stderr);
        return 2;
    }
    if (journalGiven && dryRun) {
        std::fputs("stockfix: --dry-run no borra nada y no escribe diario: sobra --journal\n", stderr);
        return 2;
    }
    // The keys as the platform's command line holds them.
    const QString linea = command.textOf(keys);
    if (const QString problema = startup::lineaDemasiadoLarga(linea); !problema.isEmpty()) {
        std::fprintf(stderr, "stockfix: %s\n", platform::consoleBytes(problema).constData());
        return 2;
    }
    correction::ajustesDiario().archivo = journal;
    // Every way out (the end, an error, "Salir", the window's close) closes the session.
    platform::setAtEnd([] { startup::CerrarSesion(); });

    if (restoreGiven) {
        QCoreApplication app(argc, argv);
        platform::setUpApplication(linea);
        correction::GuionDiario script;
        try {
            script = correction::LeerDiario(restore);
        } catch (const platform::RuntimeError& e) {
            std::fprintf(stderr, "stockfix: %s\n", platform::consoleBytes(e.description()).constData());
            return 2;
        }
        if (!script.aviso.isEmpty()) std::fprintf(stderr, "stockfix: %s\n", platform::consoleBytes(script.aviso).constData());
        platform::NoHandler([&] {
            startup::IniciarSistema();
            correction::CuentaReposicion n;
            try {
                n = correction::ReponerDiario(utility::dataAccess(), script);
            } catch (const correction::DiarioRechazado& e) {  // checked against the session: nothing ran
                std::fprintf(stderr, "stockfix: %s\n", platform::consoleBytes(e.description()).constData());
                platform::End(2);
            }
            std::printf("%lld filas repuestas, %lld ya estaban\n", n.repuestas, n.presentes);
            if (n.repuestasSinConfirmar + n.presentesSinConfirmar > 0)
                std::printf("%lld filas repuestas, %lld ya estaban de lotes que el diario no da por confirmados\n",
                            n.repuestasSinConfirmar, n.presentesSinConfirmar);
        });
        platform::End(0);
    }

    if (batch) {
        QCoreApplication app(argc, argv);
        platform::setUpApplication(linea);
        correction::ajustesDiario().alAbrir = [](const QString& path) {
            std::fprintf(stderr, "stockfix: diario de borrado: %s\n", platform::consoleBytes(path).constData());
            std::fflush(stderr);
        };
        platform::NoHandler([&] {
            // A dry run only reads: its session can write nothing, not even the switch to WAL.
            if (dryRun) utility::dataAccess().setReadOnly(true);
            startup::IniciarSistema();
            platform::Recordset rsDatos;
            BatchStatusLine status;
            if (dryRun) {
                correction::ContarComprobantes(rsDatos, status);
                return;
            }
            try {
                correction::CorregirComprobantes(rsDatos, status);
            } catch (const correction::DiarioEnUso& e) {  // refused before any deletion
                std::fprintf(stderr, "stockfix: %s\n", platform::consoleBytes(e.description()).constData());
                platform::End(2);
            }
        });
        platform::End(0);
    }

    if (!platform::hasDisplay()) {
        std::fputs("stockfix: no hay pantalla para la ventana; use --batch para correr sin ventana\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    platform::setUpApplication(linea);
    platform::useWindowPrompter();  // script mode when STOCKFIX_SCRIPT asks for it

    correction::BUG window;
    window.Form_Load();
    window.show();
    platform::End(app.exec());
}
