#include "platform/application.h"
#include "utility/ini_file.h"
#include "support/child_process.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using utility::IniFile;
using utility::readProfileValue;

TEST(IniRules, ProfileRulesForSectionsKeysAndValues) {
    const QString text = QStringLiteral(
        "; comment\n"
        "[Iconos]\n"
        "  IconoDelSistema =  ICONO1  \n"
        "iconodelsistema=SEGUNDO\n"
        "Comillas=\"  entre comillas  \"\n"
        "ConPuntoYComa=a;b\n"
        "Vacia=\n"
        "SinIgual\n"
        "[APARIENCIA|GENERAL]\n"
        "FlatToolbars=0\n"
        "[iconos]\n"
        "Otra=de la segunda sección\n");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Iconos", "IconoDelSistema", "ICONO1"},            // blanks dropped, first match wins
        {"ICONOS", "iconodelsistema", "ICONO1"},            // names ignore case
        {"Iconos", "Comillas", "  entre comillas  "},       // matching quotes go, the rest stays
        {"Iconos", "ConPuntoYComa", "a;b"},                 // no inline comments
        {"Iconos", "Vacia", ""},
        {"Iconos", "SinIgual", "def"},
        {"Iconos", "Otra", "def"},                          // only the first matching section counts
        {"apariencia|general", "FLATTOOLBARS", "0"},
        {"Falta", "FlatToolbars", "def"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(readProfileValue(text, QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                   QStringLiteral("def")),
                  QString::fromLatin1(c.expected));
    }
}

TEST(IniFile, FindsTheFileInTheApplicationFolderWhateverTheCaseOfItsName) {
    QTemporaryDir app, other;
    platform::App().path = app.path();
    IniFile ini;
    EXPECT_EQ(ini.ReadValue(QStringLiteral("ZT000pr.INI"), QStringLiteral("Iconos"), QStringLiteral("IconoDelSistema"),
                            QStringLiteral("ICONKORVELA")),
              QStringLiteral("ICONKORVELA"));  // no file anywhere

    QFile f(QDir(app.path()).filePath(QStringLiteral("zt000pr.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Iconos]\r\nIconoDelSistema=Se\xf1or\r\n");  // Windows-1252, CRLF
    f.close();
    EXPECT_EQ(ini.ReadValue(QStringLiteral("ZT000pr.INI"), QStringLiteral("Iconos"), QStringLiteral("IconoDelSistema"),
                            QStringLiteral("x")),
              QStringLiteral("Señor"));
    platform::App().path.clear();
}

TEST(IniFile, AnInstalledProgramAlsoLooksInTheUsersConfigurationFolder) {
    const QString app = QStringLiteral("/usr/bin"), user = QStringLiteral("/home/ana/.config/stockfix"),
                  cwd = QStringLiteral("/home/ana");
    const struct {
        QString app;
        bool appWritable;
        QString user, cwd;
        QStringList expected;
    } cases[] = {
        {app, true, user, cwd, {app, cwd}},          // a writable folder: the two places it always had
        {app, false, user, cwd, {app, user, cwd}},   // installed: the user's folder after the program's
        {app, false, QString(), cwd, {app, cwd}},    // no user folder named
        {app, false, user, app, {app, user}},        // run from its own folder: once
        {QString(), true, user, cwd, {cwd}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.join(u' ').toStdString());
        EXPECT_EQ(IniFile::searchFolders(c.app, c.appWritable, c.user, c.cwd), c.expected);
    }
}

TEST(IniFile, AnInstalledProgramReadsTheIniFileFromTheUsersConfigurationFolder) {
    QTemporaryDir home;
    const QByteArray saved = qgetenv(testsupport::kUserConfigHome);
    qputenv(testsupport::kUserConfigHome, home.filePath(QStringLiteral("config")).toLocal8Bit());
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("config/stockfix"))));
    QFile f(home.filePath(QStringLiteral("config/stockfix/ZT000PR.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Iconos]\nIconoDelSistema=DEL USUARIO\n");
    f.close();
    IniFile ini;
    const QString folders[] = {home.filePath(QStringLiteral("bin")), home.path()};  // not there / writable
    const QString expected[] = {QStringLiteral("DEL USUARIO"), QStringLiteral("x")};
    for (int i = 0; i < 2; ++i) {
        platform::App().path = folders[i];
        EXPECT_EQ(ini.ReadValue(QStringLiteral("ZT000pr.INI"), QStringLiteral("Iconos"),
                                QStringLiteral("IconoDelSistema"), QStringLiteral("x")),
                  expected[i]);
    }
    platform::App().path.clear();
    if (saved.isNull()) qunsetenv(testsupport::kUserConfigHome);
    else qputenv(testsupport::kUserConfigHome, saved);
}
