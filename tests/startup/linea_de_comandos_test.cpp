#include "platform/runtime_error.h"
#include "startup/linea_de_comandos.h"
#include "support/expect_runtime_error.h"

#include <gtest/gtest.h>

using startup::ExtraerClave;
using testsupport::expectRuntimeError;

TEST(ExtraerClave, TableOfCommandLines) {
    const struct {
        const char* line;
        const char* key;
        const char* value;
    } cases[] = {
        {"@Server=srv01;@DbName=GESTION;", "@Server", "srv01"},
        {"@SERVER = srv01 ;", "@Server", "srv01"},                              // case, blanks around "="
        {"@server=srv01;", "@Server", "srv01"},
        {"@Server=;@DbName=x;", "@Server", ""},                                  // directly followed by ";"
        {"@Server;", "@Server", ""},
        {"@DbName=x;", "@Server", ""},                                           // absent
        {"@UsuarioLogeado=pepe; @Usuario=ana;", "@Usuario", "ana"},              // whole keys only
        {"@UsuarioLogeado=pepe;", "@Usuario", ""},
        {"@UsuarioLogeado=pepe; @Usuario=ana;", "@UsuarioLogeado", "pepe"},
        {"@Password=a=b;", "@Password", "a=b"},                                  // "=" inside the value stays
        {"@Password==x;", "@Password", "=x"},
        {"@Server=srv01 @DbName=GESTION;", "@Server", "srv01 @DbName=GESTION"},  // ";" missing: up to a later one
        {"@Server=srv01 @DbName=GESTION;", "@DbName", "GESTION"},
        {"@Server=srv01; @Caja=3", "@Caja", "3"},                                // last key without ";"
        {"@Menu=a;b;", "@Menu", "a"},                                            // cut at the first ";"
        {"  @Caja  =   12   ;", "@Caja", "12"},
        {"@Caja=\t12\t;", "@Caja", "\t12\t"},                                   // only blanks are trimmed
        {"@Server=ñandú;", "@Server", "ñandú"},
        {"", "@Server", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.key);
        EXPECT_EQ(ExtraerClave(QString::fromUtf8(c.line), QString::fromLatin1(c.key)), QString::fromUtf8(c.value));
    }
}

TEST(ExtraerClave, PositionsBeyond32767Overflow) {
    auto extraer = [](const QString& line, const char* key) {
        return [=] { ExtraerClave(line, QString::fromLatin1(key)); };
    };
    const QString padding(32767, u' ');
    expectRuntimeError(platform::kOverflow, extraer(padding + QStringLiteral("@Server=x;"), "@Server"));  // key past 32767
    expectRuntimeError(platform::kOverflow, extraer(QStringLiteral("@Server=") + padding + u';', "@Server"));  // ";" past 32767
    EXPECT_NO_THROW(extraer(QString(32000, u' ') + QStringLiteral("@Server=x;"), "@Server")());
    EXPECT_NO_THROW(extraer(padding + QStringLiteral("@Server=x;"), "@DbName")());  // absent: no position
}

