// lookup-demo: opens a lookup window through the suite's lookup request and prints the
// choice as one JSON object.
#include "lookup/lib_cls_cons2.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/application.h"
#include "platform/qt_prompter.h"
#include "startup/command_line.h"
#include "startup/iniciar_sistema.h"
#include "startup/preparacion_consultas.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <cstdio>

namespace {

const char kUsage[] =
    "Uso: lookup-demo [--checks] [--cantidades] [--campo NOMBRE] [--devolver NOMBRE]... [--clave TEXTO]\n"
    "                 [--buscar NOMBRE] [--aceptar] --consulta TABLA_O_SELECT CLAVES...\n"
    "\n"
    "Corre el inicio del sistema con las CLAVES de la línea de comandos (como stockfix), abre una\n"
    "consulta y escribe la elección como un objeto JSON:\n"
    "  {\"ValorDevuelto\": ..., \"Valores\": [...], \"Cantidades\": [...], \"CampoBusqueda\": ...}\n"
    "\n"
    "  --checks        selección múltiple con casillas (Checks)\n"
    "  --cantidades    una cantidad por fila (UsaCantidades)\n"
    "  --campo N       columna cuyo valor vuelve en ValorDevuelto (CampoDevuelto)\n"
    "  --devolver N    columna que vuelve en Valores (CmpsDevueltos); se puede repetir\n"
    "  --clave T       texto inicial de búsqueda (Clave)\n"
    "  --buscar N      campo de búsqueda (CampoBusqueda)\n"
    "  --aceptar       acepta apenas se abre la ventana (para scripts)\n"
    "  --consulta X    tabla, vista o sentencia SELECT\n";

QJsonValue lista(const lookup::Coleccion& c) {
    if (!c) return QJsonValue::Null;
    QJsonArray a;
    for (const QString& s : *c) a.append(s);
    return a;
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    bool checks = false, cantidades = false, aceptar = false, hayConsulta = false;
    QString campo, clave, buscar, consulta;
    auto devolver = lookup::nuevaColeccion();
    bool hayDevolver = false;
    QStringList keys;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto valor = [&](QString& destino) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "lookup-demo: falta el valor de %s\n", a.toLocal8Bit().constData());
                std::exit(2);
            }
            destino = args[++i];
        };
        if (a == u"--help" || a == u"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == u"--checks") checks = true;
        else if (a == u"--cantidades") cantidades = true;
        else if (a == u"--aceptar") aceptar = true;
        else if (a == u"--campo") valor(campo);
        else if (a == u"--clave") valor(clave);
        else if (a == u"--buscar") valor(buscar);
        else if (a == u"--consulta") {
            valor(consulta);
            hayConsulta = true;
        } else if (a == u"--devolver") {
            QString nombre;
            valor(nombre);
            devolver->append(nombre);
            hayDevolver = true;
        } else if (a.startsWith(u"--")) {
            std::fprintf(stderr, "lookup-demo: opción desconocida: %s\nPruebe: lookup-demo --help\n",
                         a.toLocal8Bit().constData());
            return 2;
        } else keys << a;
    }
    if (!hayConsulta) {
        std::fputs("lookup-demo: falta --consulta\n", stderr);
        return 2;
    }
    if (!platform::hasDisplay()) {
        std::fputs("lookup-demo: no hay pantalla para la ventana de consulta\n", stderr);
        return 2;
    }

    QApplication app(argc, argv);
    platform::setUpApplication(startup::commandLineText(keys));
    platform::QtPrompter prompter;
    platform::setPrompter(&prompter);
    startup::IniciarSistema();

    lookup::Lib_ClsCons2& request = startup::consultaGlobal();
    request.Checks = checks;
    request.UsaCantidades = cantidades;
    request.CampoDevuelto = campo;
    lookup::Coleccion cmps = hayDevolver ? devolver : lookup::Coleccion();
    if (aceptar) {
        // Accept as soon as the window is up, after its initial search.
        QTimer::singleShot(0, [] {
            if (auto* w = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget())) w->CmdAceptar_Click();
        });
    }
    request.ConsultaSearch(consulta, cmps, clave, buscar);

    QJsonObject out;
    out.insert(QStringLiteral("ValorDevuelto"),
               request.ValorDevuelto ? QJsonValue(*request.ValorDevuelto) : QJsonValue(QJsonValue::Null));
    out.insert(QStringLiteral("Valores"), lista(request.Valores));
    out.insert(QStringLiteral("Cantidades"), lista(request.Cantidades));
    out.insert(QStringLiteral("CampoBusqueda"), buscar);
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    platform::End(0);
}
