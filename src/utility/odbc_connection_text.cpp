#include "utility/odbc_connection_text.h"

#include "platform/odbc_api.h"
#include "platform/odbc_drivers.h"

#include <iterator>

namespace utility {

namespace {

// A value in an ODBC connection text: braces when it holds a separator or brace.
QString odbcValue(const QString& value) {
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') && value.trimmed() == value)
        return value;
    QString v = value;
    return u'{' + v.replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
}

QString configuredDriver() { return qEnvironmentVariable("STOCKFIX_ODBC_DRIVER").trimmed(); }

}  // namespace

QStringList installedOdbcDrivers() {
    QStringList drivers;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return drivers;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    // Wide characters: what every driver manager implements (Wine's among them).
    SQLWCHAR name[256];
    SQLWCHAR attributes[1024];
    SQLSMALLINT nameLen = 0, attrLen = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(env, direction, name, SQLSMALLINT(std::size(name)), &nameLen, attributes,
                                     SQLSMALLINT(std::size(attributes)), &attrLen))) {
        drivers << QString::fromUtf16(reinterpret_cast<const char16_t*>(name), qsizetype(nameLen));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return drivers;
}

bool sqlServerDriverConfigured() { return !configuredDriver().isEmpty(); }

QString sqlServerDriver(const QStringList& installed) {
    if (const QString configured = configuredDriver(); !configured.isEmpty()) return configured;
    for (const QString& wanted : platform::usualSqlServerDrivers())
        for (const QString& name : installed)
            if (name.compare(wanted, Qt::CaseInsensitive) == 0) return name;
    return {};
}

bool isSqliteOdbcDriver(const QString& driver) { return driver.contains(QStringLiteral("SQLite"), Qt::CaseInsensitive); }

QString odbcConnectionText(const QString& driver, const OdbcLogin& login, bool withPassword) {
    const QString server = login.server.trimmed();
    QString text = QStringLiteral("DRIVER={%1};").arg(driver);
    // FreeTDS takes the port apart; the Microsoft drivers take "host,port".
    const qsizetype comma = server.indexOf(u',');
    if (driver.contains(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) && comma > 0) {
        text += QStringLiteral("SERVER=%1;PORT=%2;").arg(odbcValue(server.left(comma)), server.mid(comma + 1).trimmed());
    } else {
        text += QStringLiteral("SERVER=%1;").arg(odbcValue(server));
    }
    text += QStringLiteral("DATABASE=%1;UID=%2;").arg(odbcValue(login.database), odbcValue(login.user));
    if (withPassword) text += QStringLiteral("PWD=%1;").arg(odbcValue(login.password));
    if (isSqliteOdbcDriver(driver)) text += QStringLiteral("NoCreat=1;");
    const QString extra = qEnvironmentVariable("STOCKFIX_ODBC_OPTIONS").trimmed();
    if (!extra.isEmpty()) text += extra.endsWith(u';') ? extra : extra + u';';
    return text;
}

}  // namespace utility
