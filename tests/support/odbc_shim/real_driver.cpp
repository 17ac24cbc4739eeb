#include "real_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace odbcshim {

namespace {

constexpr const char* kDefaultTarget = "libsqlite3odbc.so";
constexpr const char* kDebianTarget = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// The file a loaded symbol lives in: dlsym also searches the library's dependencies, and a
// function found there (the driver manager's own, say) would call back into the caller.
bool definedIn(void* symbol, const char* file) {
    Dl_info info{};
    return symbol && dladdr(symbol, &info) && info.dli_fname && std::strcmp(info.dli_fname, file) == 0;
}

void load(RealDriver& real) {
    const char* wanted = std::getenv("STOCKFIX_SHIM_TARGET");
    void* lib = nullptr;
    if (wanted && *wanted) {
        lib = dlopen(wanted, RTLD_NOW | RTLD_LOCAL);
    } else {
        lib = dlopen(kDefaultTarget, RTLD_NOW | RTLD_LOCAL);
        if (!lib) lib = dlopen(kDebianTarget, RTLD_NOW | RTLD_LOCAL);
    }
    if (!lib) {
        const char* why = dlerror();
        real.problem = std::string("cannot load the SQLite ODBC driver: ") + (why ? why : "unknown reason");
        return;
    }
    link_map* map = nullptr;
    if (dlinfo(lib, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) {
        real.problem = "cannot tell which file the SQLite ODBC driver was loaded from";
        return;
    }
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&realDriver), &self) && self.dli_fname &&
        std::strcmp(self.dli_fname, map->l_name) == 0) {
        real.problem = "STOCKFIX_SHIM_TARGET names the shim itself";
        return;
    }
#define ODBCSHIM_RESOLVE(name)                                                   \
    if (void* f = dlsym(lib, #name); definedIn(f, map->l_name))                  \
        real.name = reinterpret_cast<decltype(real.name)>(f);
    ODBCSHIM_REAL_FUNCTIONS(ODBCSHIM_RESOLVE)
    ODBCSHIM_RESOLVE(ODBCINSTGetProperties)
#undef ODBCSHIM_RESOLVE
    if (!real.SQLAllocHandle || !real.SQLDriverConnect || !real.SQLPrepare || !real.SQLExecDirect)
        real.problem = std::string(map->l_name) + " is not an ODBC 3 driver";
}

}  // namespace

const RealDriver& realDriver() {
    static RealDriver real;
    static std::once_flag once;
    std::call_once(once, [] {
        load(real);
        if (!real.problem.empty()) std::fprintf(stderr, "stockfix_odbc_shim: %s\n", real.problem.c_str());
    });
    return real;
}

}  // namespace odbcshim
