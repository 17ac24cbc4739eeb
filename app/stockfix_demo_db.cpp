// stockfix-demo-db: writes a demo SQLite database for trying the programs.
#include "demo/demo_database.h"
#include "platform/command_line.h"
#include "platform/console_text.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {

const char kUsage[] =
    "Uso: stockfix-demo-db RUTA [--vouchers N] [--rows N] [--seed S]\n"
    "Escribe una base SQLite nueva en RUTA (reemplaza la que hubiera) con las tablas V_MV_Stock,\n"
    "C_MV_Cpte, TA_CONFIGURACION, V_MA_ARTICULOS, VT_CLIENTES, VT_PROVEEDORES y MA_CONTACTOS.\n"
    "  --vouchers N  comprobantes al azar, además de uno de cada caso (60 por omisión)\n"
    "  --rows N      filas de la tabla de artículos (400 por omisión)\n"
    "  --seed S      semilla: la misma semilla da la misma base\n";

bool readNumber(const char* text, long long max, long long* out) {
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (!*text || *end || v < 0 || v > max) return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    platform::setUpConsole();
    const QStringList arguments = platform::programCommandLine(argc, argv).arguments;
    demo::DemoOptions options;
    QString path;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const QByteArray said = platform::consoleBytes(arg);
        long long n = 0;
        if (arg == u"--help" || arg == u"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if ((arg == u"--vouchers" || arg == u"--seed" || arg == u"--rows") && i + 1 < arguments.size()) {
            const QByteArray value = platform::consoleBytes(arguments[++i]);
            if (!readNumber(value.constData(), arg == u"--seed" ? 0xFFFFFFFFLL : 10000000LL, &n)) {
                std::fprintf(stderr, "stockfix-demo-db: valor no válido para %s: %s\n", said.constData(), value.constData());
                return 2;
            }
            if (arg == u"--seed") options.seed = uint32_t(n);
            else if (arg == u"--rows") options.articles = int(n);
            else options.vouchers = int(n);
        } else if (arg.startsWith(QStringLiteral("--")) || !path.isEmpty()) {
            std::fprintf(stderr, "stockfix-demo-db: argumento no válido: %s\n%s", said.constData(), kUsage);
            return 2;
        } else {
            path = arg;
        }
    }
    if (path.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString error = demo::createDemoDatabase(path, options);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "stockfix-demo-db: %s\n", platform::consoleBytes(error).constData());
        return 1;
    }
    std::printf("Base de demostración escrita en %s\n", platform::consoleBytes(path).constData());
    return 0;
}
