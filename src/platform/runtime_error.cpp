#include "platform/runtime_error.h"

#include <new>
#include <stdexcept>

namespace platform {

RuntimeError::RuntimeError(int number, QString description, QString source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
    what_ = QStringLiteral("Error %1: %2").arg(number_).arg(description_).toUtf8();
}

QString RuntimeError::standardDescription(int number) {
    // The texts a Spanish installation of the platform shows.
    switch (number) {
    case kInvalidProcedureCall: return QStringLiteral("Llamada a procedimiento o argumento no válidos");
    case kOverflow: return QStringLiteral("Desbordamiento");
    case kOutOfMemory: return QStringLiteral("Memoria insuficiente");
    case kSubscriptOutOfRange: return QStringLiteral("El subíndice está fuera del intervalo");
    case kInternalError: return QStringLiteral("Error interno");
    case kTypeMismatch: return QStringLiteral("No coinciden los tipos");
    case kFileNotFound: return QStringLiteral("No se encontró el archivo");
    case kBadFileMode: return QStringLiteral("Modo de archivo incorrecto");
    case kPermissionDenied: return QStringLiteral("Permiso denegado");
    case kPathFileAccessError: return QStringLiteral("Error de acceso a la ruta o el archivo");
    case kObjectVariableNotSet: return QStringLiteral("Variable de objeto o bloque With no establecido");
    case kInvalidPropertyValue: return QStringLiteral("El valor de la propiedad no es válido");
    case kObjectRequired: return QStringLiteral("Se requiere un objeto");
    case kObjectDoesntSupport: return QStringLiteral("El objeto no acepta esta propiedad o método");
    case kResourceNotFound: return QStringLiteral("No se encontró un recurso con ese identificador");
    case kInvalidPicture: return QStringLiteral("La imagen no es válida");
    case kItemNotFound:
        return QStringLiteral("No se encontró el elemento en la colección que corresponde al nombre o al ordinal "
                              "solicitado.");
    case kBofOrEof:
        return QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. La operación solicitada "
                              "requiere un registro actual.");
    case kObjectClosed: return QStringLiteral("No se permite realizar esta operación si el objeto está cerrado.");
    case kIndexOutOfBounds: return QStringLiteral("Índice fuera de los límites");
    case kNoCommandText: return QStringLiteral("No se ha establecido el texto de comando para el objeto de comando.");
    default: return QStringLiteral("Error definido por la aplicación o por el objeto");
    }
}

RuntimeError RuntimeError::of(int number, const QString& source) {
    return RuntimeError(number, standardDescription(number), source);
}

RuntimeError RuntimeError::fromException(const std::exception& e) {
    if (const auto* known = dynamic_cast<const RuntimeError*>(&e)) return *known;
    int number = kInternalError;
    if (dynamic_cast<const std::out_of_range*>(&e)) number = kSubscriptOutOfRange;
    else if (dynamic_cast<const std::bad_alloc*>(&e)) number = kOutOfMemory;
    else if (dynamic_cast<const std::range_error*>(&e) || dynamic_cast<const std::overflow_error*>(&e))
        number = kOverflow;
    const QString text = QString::fromUtf8(e.what());
    return RuntimeError(number, text.isEmpty() ? standardDescription(number) : standardDescription(number) + QStringLiteral(": ") + text);
}

}  // namespace platform
