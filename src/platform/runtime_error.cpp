#include "platform/runtime_error.h"

#include <new>
#include <stdexcept>

namespace platform {

RuntimeError::RuntimeError(int number, QString description, QString source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
    what_ = QStringLiteral("Error %1: %2").arg(number_).arg(description_).toUtf8();
}

QString RuntimeError::standardDescription(int number) {
    switch (number) {
    case kInvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case kOverflow: return QStringLiteral("Overflow");
    case kOutOfMemory: return QStringLiteral("Out of memory");
    case kSubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case kTypeMismatch: return QStringLiteral("Type mismatch");
    case kFileNotFound: return QStringLiteral("File not found");
    case kBadFileMode: return QStringLiteral("Bad file mode");
    case kPermissionDenied: return QStringLiteral("Permission denied");
    case kPathFileAccessError: return QStringLiteral("Path/File access error");
    case kObjectRequired: return QStringLiteral("Object required");
    case kObjectDoesntSupport: return QStringLiteral("Object doesn't support this property or method");
    case kResourceNotFound: return QStringLiteral("Resource with identifier not found");
    case kItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal.");
    case kBofOrEof:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case kObjectClosed: return QStringLiteral("Operation is not allowed when the object is closed.");
    default: return QStringLiteral("Application-defined or object-defined error");
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
