#include "startup/revision_linea.h"

#include <gtest/gtest.h>

using startup::lineaDemasiadoLarga;
using startup::pistaDeClaves;

TEST(PistaDeClaves, NamesWhatIsMissingOrSwallowed) {
    const QString claves = QStringLiteral("@ParametroAdicional, @Menu, @Server, @DbName, @Usuario, @Password, "
                                          "@UsuarioLogeado, @Caja");
    const struct {
        const char* line;
        QString hint;
    } cases[] = {
        {"@Server=sqlite; @DbName=x;", {}},
        {"@SERVER = srv01,1433 ; @dbname=GESTION; @Usuario=sa; @Password=p@ss=1;", {}},  // "@ss=" is no key
        {"", QStringLiteral("La línea de comandos no tiene ninguna clave: indique al menos @Server y @DbName, por "
                            "ejemplo \"@Server=sqlite; @DbName=demo.sqlite;\".")},
        {"sqlite demo.sqlite", QStringLiteral("La línea de comandos no tiene ninguna clave: indique al menos @Server y "
                                              "@DbName, por ejemplo \"@Server=sqlite; @DbName=demo.sqlite;\".")},
        {"@Server=sqlite @DbName=x",
         QStringLiteral("El valor de @Server (\"sqlite @DbName=x\") contiene la clave @DbName: falta un \";\" antes de "
                        "@DbName.")},
        {"@Server=srv; @DbName=G; @Password=secreto @Caja=3;",  // the password's value is never shown
         QStringLiteral("El valor de @Password contiene la clave @Caja: falta un \";\" antes de @Caja.")},
        {"@Sever=sqlite; @DbName=x;",
         QStringLiteral("Falta la clave @Server. Clave desconocida @Sever: las claves son %1.").arg(claves)},
        {"@Server=; @DbName=x; @Base=y; @Host=z;",
         QStringLiteral("La clave @Server está vacía. Claves desconocidas @Base, @Host: las claves son %1.").arg(claves)},
        {"@Server=sqlite;", QStringLiteral("Falta la clave @DbName.")},
        {"@UsuarioLogeado=pepe; @Server=s; @DbName=d;", {}},  // a whole key, not @Usuario
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(pistaDeClaves(QString::fromUtf8(c.line)), c.hint);
    }
}

TEST(LineaDemasiadoLarga, OnlyWhenAKeyOrItsEndLiesBeyondTheStartUpsPositions) {
    const QString relleno(32767, u' ');
    EXPECT_EQ(lineaDemasiadoLarga(QStringLiteral("@Server=sqlite; @DbName=x;") + relleno), QString());
    EXPECT_EQ(lineaDemasiadoLarga(QStringLiteral("@Server=sqlite; @DbName=x;")), QString());
    const QString tarde = relleno + QStringLiteral("@Server=sqlite;");
    EXPECT_EQ(lineaDemasiadoLarga(tarde),
              QStringLiteral("la línea de comandos tiene %1 caracteres y las claves se leen solo hasta el carácter "
                             "32767 (@Server o su \";\" queda más allá)")
                  .arg(tarde.size()));
    EXPECT_NE(lineaDemasiadoLarga(QStringLiteral("@Server=sqlite; @Caja=") + relleno), QString());  // no ";" in reach
}
