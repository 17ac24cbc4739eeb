#include "utility/sqlite_handle.h"

#include <QSqlDriver>
#include <QVariant>
#include <cstring>
#include <dlfcn.h>
#include <sqlite3.h>

namespace utility {

namespace {

bool sharedHandleOn = true;

}  // namespace

void setSqliteSharedHandle(bool on) { sharedHandleOn = on; }

namespace {

// The driver object's virtual table lies in the plugin's library; from there, the SQLite
// that library was linked with.
bool pluginUsesLinkedSqlite(const QSqlDriver* driver) {
    Dl_info plugin{};
    const void* vtable = *reinterpret_cast<void* const*>(driver);
    if (!dladdr(vtable, &plugin) || !plugin.dli_fname) return false;
    void* library = dlopen(plugin.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return false;
    void* theirs = dlsym(library, "sqlite3_libversion");
    dlclose(library);
    Dl_info theirsAt{}, oursAt{};
    if (!theirs || !dladdr(theirs, &theirsAt) || !dladdr(reinterpret_cast<void*>(&sqlite3_libversion), &oursAt))
        return false;
    const auto theirVersion = reinterpret_cast<const char* (*)()>(theirs);
    return theirsAt.dli_fbase == oursAt.dli_fbase && std::strcmp(theirVersion(), sqlite3_libversion()) == 0;
}

}  // namespace

bool driverUsesLinkedSqlite(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    if (!driver || db.driverName() != QLatin1String("QSQLITE")) return false;
    // Every QSQLITE driver comes from the one plugin library: it is looked at once, not at
    // every recordset.
    static const bool linked = pluginUsesLinkedSqlite(driver);
    return linked;
}

SqliteReadHandle::SqliteReadHandle(const QSqlDatabase& db, const QString& path, int busyTimeoutMs) {
    if (sharedHandleOn && driverUsesLinkedSqlite(db)) {
        const QVariant v = db.driver()->handle();
        if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0) {
            handle_ = *static_cast<sqlite3* const*>(v.constData());
            if (handle_) return;
        }
    }
    owned_ = true;
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error_ = handle_ ? QString::fromUtf8(sqlite3_errmsg(handle_)) : QStringLiteral("no SQLite connection");
        sqlite3_close(handle_);
        handle_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(handle_, busyTimeoutMs);
}

SqliteReadHandle::~SqliteReadHandle() {
    if (owned_ && handle_) sqlite3_close(handle_);
}

}  // namespace utility
