// lookup-demo: opens a lookup window through the suite's lookup request and prints the
// choice as one JSON object.
#include "lookup/lib_cls_cons2.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/command_line.h"
#include "platform/console_text.h"
#include "platform/report_list_view.h"
#include "lookup/mascara_consulta.h"
#include "platform/application.h"
#include "platform/script_prompter.h"
#include "startup/linea_de_comandos.h"
#include "startup/revision_linea.h"
#include "startup/iniciar_sistema.h"
#include "startup/preparacion_consultas.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace {

const char kUsage[] =
    "Uso: lookup-demo [--checks] [--cantidades] [--campo NOMBRE] [--devolver NOMBRE]... [--clave TEXTO]\n"
    "                 [--aceptar] --consulta TABLA_O_SELECT CLAVES...\n"
    "\n"
    "Corre el inicio del sistema con las CLAVES de la línea de comandos (como stockfix), abre una\n"
    "consulta y escribe la elección como un objeto JSON:\n"
    "  {\"CampoBusqueda\": ..., \"Cantidades\": [...], \"ValorDevuelto\": ..., \"Valores\": [...]}\n"
    "\n"
    "  --checks        selección múltiple con casillas (Checks)\n"
    "  --cantidades    una cantidad por fila (UsaCantidades)\n"
    "  --campo N       columna cuyo valor vuelve en ValorDevuelto (CampoDevuelto)\n"
    "  --devolver N    columna que vuelve en Valores (CmpsDevueltos); se puede repetir\n"
    "  --clave T       texto inicial de búsqueda (Clave)\n"
    "  --aceptar       acepta apenas se abre la ventana, sin esperar a nadie: cada mensaje va a la\n"
    "                  salida de errores con su título, su texto y la respuesta por omisión\n"
    "  --consulta X    tabla, vista o sentencia SELECT; una tabla o vista sin máscara en\n"
    "                  consultas.kvl se pide como SELECT * FROM X\n"
    "\n"
    "Estado de salida: 0 hecho; 1 se informó un error (con --aceptar o STOCKFIX_SCRIPT=1);\n"
    "2 línea de comandos incorrecta, sin pantalla o sin sesión.\n"
    "\n"
    "Ejemplo (sin pantalla: QT_QPA_PLATFORM=offscreen):\n"
    "  lookup-demo --aceptar --consulta V_MA_ARTICULOS --clave MART --campo IDARTICULO \\\n"
    "      \"@Server=sqlite; @DbName=demo.sqlite;\"\n";

// A table or view name as written in a FROM (schema-qualified, bracketed parts too).
bool esNombreSimple(const QString& texto) {
    static const QRegularExpression nombre(QStringLiteral(
        R"(^\s*(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_$#@]*)(\.(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_$#@]*)){0,3}\s*$)"));
    return nombre.match(texto).hasMatch();
}

// What the demo asks the request for: a plain name without a mask record becomes a
// SELECT of every column, since the request passes any text without a mask on unchanged.
QString consultaPedida(const QString& consulta, const lookup::Lib_ClsCons2& request) {
    if (!esNombreSimple(consulta)) return consulta;
    if (request.gUsarMascarasConsultas && lookup::existeArchivo(request.gRutaMascaraConsultas)) {
        lookup::MascaraConsulta registro;
        if (lookup::buscarMascara(request.gRutaMascaraConsultas, consulta, registro)) return consulta;
    }
    return QStringLiteral("SELECT * FROM ") + consulta.trimmed();
}

void avisar(const QString& texto) {
    std::fprintf(stderr, "lookup-demo: aviso: %s\n", platform::consoleBytes(texto).constData());
    std::fflush(stderr);
}

// Names the component would not find among the window's columns: it gives some other
// value for them without a word, so the script author hears it here.
void revisarColumnas(lookup::Lib_FrmCons2& ventana, const QString& campo, const QStringList& devolver) {
    QStringList columnas;
    for (int16_t i = 1; i <= ventana.ListView1->columnHeaderCount(); ++i)
        columnas << ventana.ListView1->columnHeader(i).text;
    if (columnas.isEmpty()) return;  // the statement failed: that was reported already
    auto revisar = [&](const QString& opcion, QString nombre) {
        if (ventana.IndiceColumna(nombre) == 0)
            avisar(QStringLiteral("la consulta no tiene la columna %1 de %2; sus columnas son %3")
                       .arg(nombre, opcion, columnas.join(QStringLiteral(", "))));
    };
    if (!campo.trimmed().isEmpty()) revisar(QStringLiteral("--campo"), campo);
    for (const QString& nombre : devolver) revisar(QStringLiteral("--devolver"), nombre);
}

QJsonValue lista(const lookup::Coleccion& c) {
    if (!c) return QJsonValue::Null;
    QJsonArray a;
    for (const QString& s : *c) a.append(s);
    return a;
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::setUpConsole();
    const platform::CommandLine command = platform::programCommandLine(argc, argv);
    const QStringList& args = command.arguments;
    bool checks = false, cantidades = false, aceptar = false, hayConsulta = false;
    QString campo, clave, consulta;
    QStringList nombresDevueltos;
    QList<qsizetype> keys;  // the arguments that hold the suite's keys
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto valor = [&](QString& destino) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "lookup-demo: falta el valor de %s\n", platform::consoleBytes(a).constData());
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
        else if (a == u"--consulta") {
            valor(consulta);
            hayConsulta = true;
        } else if (a == u"--devolver") {
            QString nombre;
            valor(nombre);
            nombresDevueltos << nombre;
        } else if (a == u"--buscar") {
            std::fputs("lookup-demo: --buscar ya no existe: la ventana busca con la caja de cada columna y\n"
                       "CampoBusqueda solo vuelve en el JSON (la primera columna de la máscara)\n",
                       stderr);
            return 2;
        } else if (a.startsWith(u"--")) {
            std::fprintf(stderr, "lookup-demo: opción desconocida: %s\nPruebe: lookup-demo --help\n",
                         platform::consoleBytes(a).constData());
            return 2;
        } else keys << i;
    }
    if (!hayConsulta) {
        std::fputs("lookup-demo: falta --consulta\n", stderr);
        return 2;
    }
    // The keys as the platform's command line holds them.
    const QString linea = command.textOf(keys);
    if (const QString problema = startup::lineaDemasiadoLarga(linea); !problema.isEmpty()) {
        std::fprintf(stderr, "lookup-demo: %s\n", platform::consoleBytes(problema).constData());
        return 2;
    }
    if (!platform::hasDisplay()) {
        std::fputs("lookup-demo: no hay pantalla para la ventana de consulta "
                   "(un script puede usar QT_QPA_PLATFORM=offscreen con --aceptar)\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    platform::setUpApplication(linea);
    platform::App().title = QStringLiteral("lookup-demo");
    platform::useWindowPrompter(aceptar);
    startup::IniciarSistema();

    lookup::Lib_ClsCons2& request = startup::consultaGlobal();
    request.Checks = checks;
    request.UsaCantidades = cantidades;
    request.CampoDevuelto = campo;
    lookup::Coleccion cmps;
    if (!nombresDevueltos.isEmpty()) {
        cmps = lookup::nuevaColeccion();
        for (const QString& nombre : nombresDevueltos) cmps->append(nombre);
    }

    // Once the lookup window is up (after its load and initial search): check the column
    // names and, with --aceptar, accept. Message boxes during the load come first.
    QTimer vigia;
    vigia.setInterval(20);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        auto* ventana = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget());
        if (!ventana || !ventana->isVisible()) return;
        vigia.stop();
        revisarColumnas(*ventana, campo, nombresDevueltos);
        if (aceptar) ventana->CmdAceptar_Click();
    });
    vigia.start();
    QString buscar;
    request.ConsultaSearch(consultaPedida(consulta, request), cmps, clave, buscar);
    vigia.stop();

    QJsonObject out;
    out.insert(QStringLiteral("ValorDevuelto"),
               request.ValorDevuelto ? QJsonValue(*request.ValorDevuelto) : QJsonValue(QJsonValue::Null));
    out.insert(QStringLiteral("Valores"), lista(request.Valores));
    out.insert(QStringLiteral("Cantidades"), lista(request.Cantidades));
    out.insert(QStringLiteral("CampoBusqueda"), buscar);
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    // Status 1 when a script run reported an error (see platform::End).
    platform::End(0);
}
