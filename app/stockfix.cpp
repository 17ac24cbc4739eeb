// stockfix: the correction of cancelled purchase vouchers, in its window or in batch mode.
#include "correction/bug_window.h"
#include "correction/correction_run.h"
#include "platform/application.h"
#include "platform/script_prompter.h"
#include "platform/unhandled.h"
#include "startup/command_line.h"
#include "startup/command_line_check.h"
#include "startup/iniciar_sistema.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Uso: stockfix [--batch [--dry-run]] CLAVES...\n"
    "\n"
    "Corrige los comprobantes de compras anulados (tipo fcc): borra los movimientos de stock\n"
    "(V_MV_Stock) de cada comprobante cuya cabecera (C_MV_Cpte) falta o no tiene cuenta.\n"
    "\n"
    "Opciones:\n"
    "  --batch     corre la corrección sin ventana: cada estado en una línea de la salida,\n"
    "              luego \"Proceso Finalizado!\".\n"
    "  --dry-run   (con --batch) muestra cada comprobante con la cantidad de filas de stock que\n"
    "              se borrarían, sin borrar nada.\n"
    "  --help      muestra esta ayuda.\n"
    "\n"
    "Claves de la línea de comandos (cada una con \"=\", su valor y \";\"; sin distinguir mayúsculas):\n"
    "  @Server=servidor;     servidor SQL Server (\"host\", \"host,puerto\" o \"host\\instancia\"),\n"
    "                        o sqlite para una base SQLite\n"
    "  @DbName=base;         base de datos, o la ruta del archivo cuando @Server=sqlite;\n"
    "  @Usuario=usuario;     @Password=clave;\n"
    "  @UsuarioLogeado=...;  @Caja=...;  @Menu=...;  @ParametroAdicional=...;\n"
    "\n"
    "Estado de salida: 0 hecho; 1 la corrección falló o, en modo script (STOCKFIX_SCRIPT=1), se\n"
    "informó un error; 2 línea de comandos incorrecta (o demasiado larga), sin pantalla o sin\n"
    "sesión.\n"
    "\n"
    "Ejemplos (las comillas hacen de las claves un solo argumento; sin ellas el shell corta en \";\"):\n"
    "  stockfix --batch \"@Server=sqlite; @DbName=build/demo.sqlite;\"\n"
    "  stockfix \"@Server=srv01,1433; @DbName=GESTION; @Usuario=sa; @Password=secreto;\"\n"
    "\n"
    "Variables de entorno: STOCKFIX_ODBC_DRIVER (controlador ODBC para SQL Server),\n"
    "STOCKFIX_ODBC_OPTIONS (claves que se agregan a la conexión ODBC), STOCKFIX_SCRIPT=1 (modo\n"
    "script: cada mensaje de la ventana va a la salida de errores con su título, su texto y la\n"
    "respuesta por omisión, sin esperar a nadie).\n";

// Prints each status text on its own line of standard output.
class BatchStatusLine : public correction::StatusLine {
public:
    void show(const QString& text) override {
        if (text.isEmpty()) return;
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fputc('\n', stdout);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    bool batch = false, dryRun = false;
    QStringList keys;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(arg, "--batch") == 0) {
            batch = true;
        } else if (std::strcmp(arg, "--dry-run") == 0) {
            dryRun = true;
        } else if (std::strncmp(arg, "--", 2) == 0) {
            std::fprintf(stderr, "stockfix: opción desconocida: %s\nPruebe: stockfix --help\n", arg);
            return 2;
        } else {
            keys << QString::fromLocal8Bit(arg);
        }
    }
    if (dryRun && !batch) {
        std::fputs("stockfix: --dry-run solo se usa junto con --batch\n", stderr);
        return 2;
    }
    const QString linea = startup::commandLineText(keys);
    if (const QString problema = startup::lineaDemasiadoLarga(linea); !problema.isEmpty()) {
        std::fprintf(stderr, "stockfix: %s\n", problema.toLocal8Bit().constData());
        return 2;
    }

    if (batch) {
        QCoreApplication app(argc, argv);
        platform::setUpApplication(linea);
        platform::NoHandler([&] {
            startup::IniciarSistema();
            platform::Recordset rsDatos;
            BatchStatusLine status;
            if (dryRun) correction::ContarComprobantes(rsDatos, status);
            else correction::CorregirComprobantes(rsDatos, status);
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
