#include "startup/apariencia.h"

#include "platform/error_styles.h"
#include "platform/resource_icon.h"
#include "platform/text_rules.h"
#include "startup/valores_sesion.h"
#include "utility/library.h"

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace startup {

using platform::RuntimeError;

namespace {

// Named icons among the program's own resources; the program carries only its own
// icon, so any name but that one fails.
QIcon iconoDeRecurso(const QString& name) {
    QIcon icon = platform::resourceIcon(name);
    if (icon.isNull()) throw RuntimeError::of(platform::kResourceNotFound);
    return icon;
}

QIcon iconoDeArchivo(const QString& fileName) {
    if (!QFile::exists(fileName)) throw RuntimeError::of(platform::kFileNotFound);
    const QPixmap picture(fileName);
    if (picture.isNull()) throw RuntimeError::of(platform::kInvalidPicture);
    return QIcon(picture);
}

QString nombreDeTipo(const QWidget* form) {
    const QString name = QString::fromLatin1(form->metaObject()->className());
    const qsizetype colon = name.lastIndexOf(u"::");
    return colon < 0 ? name : name.mid(colon + 2);
}

void ponerStyleBar(QWidget* form, const char* controlName) {
    QObject* control = form->findChild<QObject*>(QString::fromLatin1(controlName));
    if (!control || control->metaObject()->indexOfProperty("StyleBar") < 0)
        throw RuntimeError::of(platform::kObjectDoesntSupport);
    control->setProperty("StyleBar", gFlatToolbars);
}

}  // namespace

void AplicarEstilo(QWidget* form) {
    platform::ErrorScope scope(platform::skipEveryError());
    QString icono;
    scope.step([&] {
        icono = utility::iniFile().ReadValue(QStringLiteral("ZT000pr.INI"), QStringLiteral("Iconos"),
                                             QStringLiteral("IconoDelSistema"), QStringLiteral("ICONKORVELA"));
    });
    scope.step([&] { form->setWindowIcon(iconoDeRecurso(icono)); });
    scope.step([&] {
        if (form->windowIcon().isNull()) form->setWindowIcon(iconoDeArchivo(QStringLiteral("korvela.ico")));
    });
    bool esMdi = false;
    scope.step([&] { esMdi = platform::EqualsNoCase(nombreDeTipo(form), QStringLiteral("FRMMDI")); });
    if (esMdi) return;
    scope.step([&] { utility::formStyler().ApplyStyle(form); });
    scope.step([&] { ponerStyleBar(form, "UtilKor1"); });
    scope.step([&] { ponerStyleBar(form, "TBarRep1"); });
    scope.step([&] { ponerStyleBar(form, "Util0011"); });
    scope.step([&] { QCoreApplication::processEvents(); });
}

}  // namespace startup
