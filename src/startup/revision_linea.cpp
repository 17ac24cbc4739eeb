#include "startup/revision_linea.h"

#include "platform/runtime_error.h"
#include "startup/linea_de_comandos.h"

#include <QRegularExpression>

namespace startup {

namespace {

const QRegularExpression& claveConIgual() {
    // A key starts the line or follows a blank, a ";" or a quote (Windows' command line holds
    // the quotes the user typed) ("p@ss=1" is a password, not a key).
    static const QRegularExpression re(QStringLiteral("(?:^|[\\s;\"])@([A-Za-z_][A-Za-z0-9_]*)\\s*="));
    return re;
}

// The key as the start-up spells it, or the empty text when it reads no such key.
QString claveConocida(const QString& nombre) {
    for (const QString& clave : clavesDeLinea())
        if (clave.compare(u'@' + nombre, Qt::CaseInsensitive) == 0) return clave;
    return {};
}

QString valorSinFallar(const QString& linea, const QString& clave) {
    try {
        return ExtraerClave(linea, clave);
    } catch (const platform::RuntimeError&) {
        return {};
    }
}

}  // namespace

const QStringList& clavesDeLinea() {
    static const QStringList claves = {
        QStringLiteral("@ParametroAdicional"), QStringLiteral("@Menu"),    QStringLiteral("@Server"),
        QStringLiteral("@DbName"),             QStringLiteral("@Usuario"), QStringLiteral("@Password"),
        QStringLiteral("@UsuarioLogeado"),     QStringLiteral("@Caja"),
    };
    return claves;
}

QString lineaDemasiadoLarga(const QString& linea) {
    for (const QString& clave : clavesDeLinea()) {
        try {
            ExtraerClave(linea, clave);
        } catch (const platform::RuntimeError& e) {
            if (e.number() != platform::kOverflow) continue;
            return QStringLiteral("la línea de comandos tiene %1 caracteres y las claves se leen solo hasta el "
                                  "carácter 32767 (%2 o su \";\" queda más allá)")
                .arg(linea.size())
                .arg(clave);
        }
    }
    return {};
}

QString pistaDeClaves(const QString& linea) {
    QStringList escritas;  // every "@Name=" of the line, as written
    for (auto it = claveConIgual().globalMatch(linea); it.hasNext();) escritas << u'@' + it.next().captured(1);
    if (escritas.isEmpty())
        return QStringLiteral("La línea de comandos no tiene ninguna clave: indique al menos @Server y @DbName, "
                              "por ejemplo \"@Server=sqlite; @DbName=demo.sqlite;\".");

    QStringList frases;
    QStringList presentes;
    QStringList desconocidas;
    for (const QString& escrita : escritas) {
        const QString clave = claveConocida(escrita.mid(1));
        if (clave.isEmpty()) {
            if (!desconocidas.contains(escrita)) desconocidas << escrita;
        } else if (!presentes.contains(clave)) {
            presentes << clave;
        }
    }
    for (const QString& clave : presentes) {
        const QString valor = valorSinFallar(linea, clave);
        QString siguiente;
        for (auto it = claveConIgual().globalMatch(valor); it.hasNext() && siguiente.isEmpty();)
            siguiente = claveConocida(it.next().captured(1));
        if (siguiente.isEmpty()) continue;
        const QString cual = clave == u"@Password" ? clave : QStringLiteral("%1 (\"%2\")").arg(clave, valor);
        frases << QStringLiteral("El valor de %1 contiene la clave %2: falta un \";\" antes de %2.").arg(cual, siguiente);
    }
    for (const char* necesaria : {"@Server", "@DbName"}) {
        const QString clave = QString::fromLatin1(necesaria);
        if (!presentes.contains(clave)) frases << QStringLiteral("Falta la clave %1.").arg(clave);
        else if (valorSinFallar(linea, clave).isEmpty()) frases << QStringLiteral("La clave %1 está vacía.").arg(clave);
    }
    if (!desconocidas.isEmpty())
        frases << QStringLiteral("%1 %2: las claves son %3.")
                      .arg(desconocidas.size() == 1 ? QStringLiteral("Clave desconocida") : QStringLiteral("Claves desconocidas"),
                           desconocidas.join(QStringLiteral(", ")), clavesDeLinea().join(QStringLiteral(", ")));
    return frases.join(u' ');
}

}  // namespace startup
