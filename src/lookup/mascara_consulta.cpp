#include "lookup/mascara_consulta.h"

#include "platform/ansi_text.h"
#include "platform/runtime_error.h"
#include "platform/text_rules.h"

#include <QFile>
#include <QFileInfo>

namespace lookup {

using platform::Trim;

namespace {

void ponerCampo(QByteArray& destino, const QString& texto, int ancho) {
    QByteArray bytes = platform::toAnsi(texto).left(ancho);  // one byte per character
    bytes.append(QByteArray(ancho - bytes.size(), ' '));
    destino.append(bytes);
}

QString sinNulos(const QString& texto) {
    QString limpio = texto;
    limpio.remove(QChar(0)).remove(QChar(0xFF));  // NUL and code 255 (ÿ in the code page)
    return limpio;
}

}  // namespace

QByteArray codificarRegistro(const MascaraConsulta& r) {
    QByteArray bytes;
    bytes.reserve(kLargoRegistro);
    ponerCampo(bytes, r.Nombre, kLargoNombre);
    ponerCampo(bytes, r.Tabla, kLargoTabla);
    ponerCampo(bytes, r.Campos, kLargoCampos);
    ponerCampo(bytes, r.Filtro, kLargoFiltro);
    ponerCampo(bytes, r.FinLinea, kLargoFinLinea);
    return bytes;
}

MascaraConsulta decodificarRegistro(const QByteArray& stored) {
    QByteArray bytes = stored.left(kLargoRegistro);
    bytes.append(QByteArray(kLargoRegistro - bytes.size(), '\0'));
    auto campo = [&](int desde, int ancho) { return platform::fromAnsi(bytes.mid(desde, ancho)); };
    MascaraConsulta r;
    r.Nombre = campo(0, kLargoNombre);
    r.Tabla = campo(100, kLargoTabla);
    r.Campos = campo(200, kLargoCampos);
    r.Filtro = campo(700, kLargoFiltro);
    r.FinLinea = campo(1200, kLargoFinLinea);
    return r;
}

QString limpiarTabla(const QString& tabla) { return Trim(sinNulos(tabla)); }
QString limpiarFiltro(const QString& filtro) { return Trim(sinNulos(filtro)); }

QString limpiarCampos(const QString& campos) {
    QString lista = campos;
    lista.replace(u'|', u',');
    lista = Trim(lista);
    if (lista.startsWith(u',')) lista.remove(0, 1);
    if (lista.endsWith(u',')) lista.chop(1);
    if (Trim(lista).isEmpty()) return QStringLiteral("*");
    return lista;
}

bool existeArchivo(const QString& ruta) {
    const QFileInfo info(ruta);
    return !ruta.isEmpty() && info.exists() && info.isFile() && !info.isHidden();
}

std::optional<MascaraLimpia> buscarMascara(const QString& ruta, const QString& tabla, MascaraConsulta& regMascara) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString buscada = Trim(tabla);
    const qint64 registros = std::min<qint64>(archivo.size() / kLargoRegistro, 32767);
    for (qint64 n = 0; n < registros; ++n) {
        const QByteArray bytes = archivo.read(kLargoRegistro);
        if (bytes.size() != kLargoRegistro) return std::nullopt;  // a read failure: no match
        regMascara = decodificarRegistro(bytes);
        if (limpiarTabla(regMascara.Tabla).compare(buscada, Qt::CaseInsensitive) == 0)
            return MascaraLimpia{limpiarTabla(regMascara.Tabla), limpiarCampos(regMascara.Campos),
                                 limpiarFiltro(regMascara.Filtro)};
    }
    return std::nullopt;
}

void agregarRegistro(QFile& archivo, const MascaraConsulta& registro) {
    const int16_t numero = platform::CheckedInt16(archivo.size() / kLargoRegistro + 1);
    if (!archivo.seek(qint64(numero - 1) * kLargoRegistro) ||
        archivo.write(codificarRegistro(registro)) != kLargoRegistro || !archivo.flush())
        throw platform::RuntimeError::of(platform::kPathFileAccessError);
}

}  // namespace lookup
