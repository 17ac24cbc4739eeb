#pragma once

#include <QString>
#include <exception>

namespace platform {

// Run-time error numbers: error reports and the answers to them know errors by these.
enum ErrorNumber : int {
    kInvalidProcedureCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kInternalError = 51,
    kTypeMismatch = 13,
    kFileNotFound = 53,
    kBadFileMode = 54,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kObjectVariableNotSet = 91,
    kInvalidPropertyValue = 380,
    kInvalidPicture = 481,
    kObjectRequired = 424,
    kObjectDoesntSupport = 438,
    kResourceNotFound = 326,
    kControlArrayElementMissing = 340,  // no control of that index in a control array
    kItemNotFound = 3265,            // no field of that name or ordinal
    kBofOrEof = 3021,                // no current record
    kObjectClosed = 3704,            // operation on a closed recordset
    kIndexOutOfBounds = 35600,       // the list view's columns and items
    kDatabaseError = -2147217900,    // the provider rejected a statement
    kNoCommandText = -2147217908,    // a statement with nothing in it
    kConnectionError = -2147467259,  // no session, or the session failed
};

// A run-time error: number, description and, once known, the procedure that raised it.
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description, QString source = {});

    int number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }
    const char* what() const noexcept override { return what_.constData(); }

    // The platform's standard text for a number, in Spanish ("Desbordamiento", ...).
    static QString standardDescription(int number);
    static RuntimeError of(int number, const QString& source = {});
    // Any other exception as a run-time error: the number that fits its kind (9 for an index
    // out of range, 7 for memory, 6 for an arithmetic range, 51 otherwise) and its own text.
    static RuntimeError fromException(const std::exception& e);

private:
    int number_;
    QString description_;
    QString source_;
    QByteArray what_;
};

}  // namespace platform
