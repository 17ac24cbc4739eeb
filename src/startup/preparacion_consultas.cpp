#include "startup/preparacion_consultas.h"

#include "lookup/mascara_consulta.h"
#include "platform/application.h"
#include "platform/runtime_error.h"
#include "platform/text_rules.h"
#include "platform/user_folders.h"
#include "utility/library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace startup {

using platform::Trim;

namespace {

std::unique_ptr<lookup::Lib_ClsCons2>& consulta() {
    static std::unique_ptr<lookup::Lib_ClsCons2> request;
    return request;
}

// The shared module's own record buffer, rewritten for each record.
lookup::MascaraConsulta RegMascaraNueva;

}  // namespace

lookup::Lib_ClsCons2& consultaGlobal() {
    if (!consulta()) consulta() = std::make_unique<lookup::Lib_ClsCons2>();
    return *consulta();
}

void olvidarConsultaGlobal() { consulta().reset(); }

QString carpetaMascaras(const QString& carpetaAplicacion, bool archivoEnAplicacion, bool aplicacionEscribible,
                        const QString& carpetaUsuario) {
    if (archivoEnAplicacion || aplicacionEscribible || carpetaUsuario.isEmpty()) return carpetaAplicacion;
    return carpetaUsuario;
}

QString rutaMascaras() {
    const QString nombre = QString::fromLatin1(kArchivoMascaras);
    const QString carpeta = utility::utilities().AddPathSeparator(platform::App().path);
    const bool enAplicacion = lookup::existeArchivo(carpeta + nombre);
    const bool escribible = platform::programFolderTakesFiles(platform::App().path);
    const QString usuario = enAplicacion || escribible ? QString() : platform::userConfigFolder();
    return utility::utilities().AddPathSeparator(carpetaMascaras(carpeta, enAplicacion, escribible, usuario)) + nombre;
}

void CrearMascaras() {
    const struct {
        const char* nombre;
        const char* tabla;
        const char* campos;
    } porDefecto[] = {
        {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
        {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
        {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
        {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    };
    QFile archivo(consultaGlobal().gRutaMascaraConsultas);
    // The user's configuration folder may not exist yet; the application folder always does.
    QDir().mkpath(QFileInfo(archivo).absolutePath());
    if (!archivo.open(QIODevice::ReadWrite)) throw platform::RuntimeError::of(platform::kPathFileAccessError);
    for (const auto& m : porDefecto) {
        RegMascaraNueva.Nombre = Trim(QString::fromLatin1(m.nombre));
        RegMascaraNueva.Tabla = QString::fromLatin1(m.tabla);
        RegMascaraNueva.Campos = Trim(QString::fromLatin1(m.campos));
        RegMascaraNueva.Filtro = Trim(QString());
        RegMascaraNueva.FinLinea = QStringLiteral("\r\n");
        lookup::agregarRegistro(archivo, RegMascaraNueva);
    }
    archivo.close();
}

}  // namespace startup
