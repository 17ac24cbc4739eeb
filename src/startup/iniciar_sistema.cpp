#include "startup/iniciar_sistema.h"

#include "platform/console_text.h"
#include "platform/application.h"
#include "platform/error_styles.h"
#include "platform/prompts.h"
#include "platform/text_rules.h"
#include "startup/linea_de_comandos.h"
#include "startup/revision_linea.h"
#include "startup/configuracion.h"
#include "lookup/mascara_consulta.h"
#include "startup/preparacion_consultas.h"
#include "startup/valores_sesion.h"
#include "utility/data_access.h"
#include "utility/library.h"

#include <cstdio>

namespace startup {

using utility::dataAccess;

namespace {

// The session's command time-out: 360 seconds, or STOCKFIX_COMMAND_TIMEOUT when an
// installation (or a test of a locked database) wants another.
int tiempoDeEspera() {
    bool ok = false;
    const int segundos = qEnvironmentVariableIntValue("STOCKFIX_COMMAND_TIMEOUT", &ok);
    return ok && segundos >= 0 ? segundos : 360;
}

// Why the session did not open, with the hint about the command line: on standard error,
// and in a box when there is a window to show it over.
void avisarSesionSinAbrir(const QString& motivo, const QString& pista) {
    platform::noteErrorReported();
    QString mensaje = QStringLiteral("No se pudo abrir la sesión con la base de datos: %1").arg(motivo);
    if (!pista.isEmpty()) mensaje += u'\n' + utility::DataAccess::hidePasswords(pista);
    std::fprintf(stderr, "%s\n", platform::consoleBytes(mensaje).constData());
    std::fflush(stderr);
    if (platform::prompter().hasWindows()) platform::MsgBox(mensaje, platform::vbOKOnly | platform::vbCritical);
}

}  // namespace

void IniciarSistema() {
    platform::ErrorScope scope(platform::startupRule());
    QString carpeta;
    QString linea;

    scope.step([&] { carpeta = utility::utilities().AddPathSeparator(platform::App().path); });
    scope.step([&] { linea = platform::App().commandLine; });
    scope.step([&] {
        gSeccionApariencia = utility::formStyler().SectionPrefix().toUpper() + u'|' +
                             utility::formStyler().SectionSuffix().toUpper();
    });
    scope.step([&] {
        gFlatToolbars = platform::Val(
            utility::iniFile().ReadValue(QStringLiteral("ZT000pr.INI"), gSeccionApariencia,
                                         QStringLiteral("FlatToolbars"), QStringLiteral("1")));
    });

    bool yaAbierta = false;
    scope.step([&] { yaAbierta = dataAccess().IsOpen(); });
    if (!yaAbierta) {
        QString server, dbName, usuario, password;
        scope.step([&] { gParametroAdicional = ExtraerClave(linea, QStringLiteral("@ParametroAdicional")); });
        scope.step([&] { gMenu = ExtraerClave(linea, QStringLiteral("@Menu")); });
        scope.step([&] { server = ExtraerClave(linea, QStringLiteral("@Server")); });
        scope.step([&] { dbName = ExtraerClave(linea, QStringLiteral("@DbName")); });
        scope.step([&] { usuario = ExtraerClave(linea, QStringLiteral("@Usuario")); });
        scope.step([&] { password = ExtraerClave(linea, QStringLiteral("@Password")); });
        // A password kept off the command line, out of sight of the process list.
        scope.step([&] {
            if (password.isEmpty()) password = qEnvironmentVariable("STOCKFIX_PASSWORD");
        });
        scope.step([&] { gUsuarioLogeado = ExtraerClave(linea, QStringLiteral("@UsuarioLogeado")); });
        scope.step([&] { gCaja = ExtraerClave(linea, QStringLiteral("@Caja")); });

        scope.step([&] { dataAccess().setUserName(usuario); });
        scope.step([&] { dataAccess().setDatabaseName(dbName); });
        scope.step([&] { dataAccess().setPassword(password); });
        scope.step([&] { dataAccess().setServer(server); });
        scope.step([&] { dataAccess().OpenSession(0, 3); });
        // Said only when the session cannot open: which key is missing or swallowed another.
        QString pista;
        scope.step([&] {
            if (!dataAccess().IsOpen()) pista = pistaDeClaves(linea);
        });
        scope.step([&] {
            if (dataAccess().IsOpen()) return;
            if (!dataAccess().lastOpenError().isEmpty()) avisarSesionSinAbrir(dataAccess().lastOpenError(), pista);
            platform::End(2);
        });
        scope.step([&] { dataAccess().connection().setCommandTimeout(tiempoDeEspera()); });
    }
    scope.step([&] { utility::folderClient().SetFolder(carpeta); });

    // The lookup request gets the session's connection text and the mask file's path;
    // a missing mask file is created with the default masks.
    scope.step([&] { consultaGlobal().gConnString = dataAccess().ConnectionString(); });
    scope.step([&] { consultaGlobal().gUsarMascarasConsultas = true; });
    scope.step([&] { consultaGlobal().gRutaMascaraConsultas = rutaMascaras(); });
    scope.step([&] {
        if (!lookup::existeArchivo(consultaGlobal().gRutaMascaraConsultas)) CrearMascaras();
    });
    scope.step([&] { CargarConfiguracion(carpeta); });
}

}  // namespace startup
