// lookup-consumer: a program of the suite opening one lookup through the installed component.
//   lookup-consumer [--aceptar] [--clave TEXTO] "@Server=...; @DbName=...;"
// Prints the IDARTICULO of the article chosen; status 1 when none was.
#include "lookup/lib_frm_cons2.h"
#include "platform/application.h"
#include "platform/command_line.h"
#include "platform/script_prompter.h"
#include "startup/iniciar_sistema.h"
#include "startup/liberar_objetos.h"
#include "startup/preparacion_consultas.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The command line as the platform holds it: the keys are read from its own text.
    const platform::CommandLine command = platform::programCommandLine(argc, argv);
    bool aceptar = false;
    QString clave;
    QList<qsizetype> keys;
    for (qsizetype i = 0; i < command.arguments.size(); ++i) {
        const QString& a = command.arguments[i];
        if (a == QStringLiteral("--aceptar")) aceptar = true;
        else if (a == QStringLiteral("--clave") && i + 1 < command.arguments.size()) clave = command.arguments[++i];
        else keys << i;
    }

    // The suite's start-up: the session from the command-line keys, the mask file, the settings.
    platform::setUpApplication(command.textOf(keys));
    platform::useWindowPrompter(aceptar);  // --aceptar: boxes go to standard error, nobody waits
    startup::IniciarSistema();

    lookup::Lib_ClsCons2& consulta = startup::consultaGlobal();
    consulta.CampoDevuelto = QStringLiteral("IDARTICULO");
    if (aceptar)  // accept as soon as the window is up, after its initial search
        QTimer::singleShot(0, [] {
            if (auto* w = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget())) w->CmdAceptar_Click();
        });
    lookup::Coleccion devueltos;  // no extra columns wanted
    QString campoBusqueda;        // the mask's first column
    consulta.ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), devueltos, clave, campoBusqueda);

    const QString elegido = consulta.ValorDevuelto.value_or(QString());
    if (!elegido.isEmpty()) std::printf("%s\n", elegido.toUtf8().constData());
    startup::LiberarObjetos();  // the session and the other program-wide objects, before Qt goes
    return elegido.isEmpty() ? 1 : 0;
}
