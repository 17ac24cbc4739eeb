#include "platform/runtime_error.h"
#include "startup/iniciar_sistema.h"
#include "startup/valores_sesion.h"
#include "startup_fixture.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <gtest/gtest.h>

using namespace startup;
using testsupport::endStatusOf;
using testsupport::ScriptedPrompter;

namespace {

class IniciarSistemaTest : public testsupport::StartupTest {
protected:
    QString keysFor(const QString& db) {
        return QStringLiteral("@UsuarioLogeado=pepe; @Server = SQLITE ; @DbName=%1; @Usuario=ana; @Password=a=b; "
                              "@Caja=7; @Menu=Compras; @ParametroAdicional=extra")
            .arg(db);
    }
};

// A folder client that fails with a given error.
struct FailingFolderClient : utility::FolderClient {
    explicit FailingFolderClient(int number) : number(number) {}
    void SetFolder(const QString&) override { throw platform::RuntimeError::of(number); }
    int number;
};

}  // namespace

TEST_F(IniciarSistemaTest, OpensTheSessionFromTheCommandLineAndLoadsTheConfiguration) {
    writeIni("[Apariencia|General]\nFlatToolbars=0 planas\n", QStringLiteral("zt000PR.ini"));
    const QString db = configDatabase({"'TituloClientes', 'Clientes'"});
    platform::App().commandLine = keysFor(db);
    ScriptedPrompter prompter;
    IniciarSistema();

    auto& da = utility::dataAccess();
    ASSERT_TRUE(da.IsOpen());
    EXPECT_EQ(da.UserName(), QStringLiteral("ana"));
    EXPECT_EQ(da.Password(), QStringLiteral("a=b"));
    EXPECT_EQ(da.DatabaseName(), db);
    EXPECT_EQ(da.connection().CommandTimeout(), 360);
    EXPECT_EQ(gSeccionApariencia, QStringLiteral("APARIENCIA|GENERAL"));
    EXPECT_EQ(gFlatToolbars, QVariant(0.0));
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("pepe"));
    EXPECT_EQ(gCaja, QStringLiteral("7"));
    EXPECT_EQ(gMenu, QStringLiteral("Compras"));
    EXPECT_EQ(gParametroAdicional, QStringLiteral("extra"));
    EXPECT_EQ(utility::folderClient().folder(), dir.path() + u'/');
    EXPECT_EQ(gTituloClientes, QStringLiteral("Clientes"));
    EXPECT_EQ(gRutaTareas, dir.path() + QStringLiteral("/KVDOCTareas.kvl"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(IniciarSistemaTest, FlatToolbarsDefaultsToOneWithoutAnIniFile) {
    platform::App().commandLine = keysFor(configDatabase({}));
    IniciarSistema();
    EXPECT_EQ(gFlatToolbars, QVariant(1.0));
}

TEST_F(IniciarSistemaTest, AnOpenSessionSkipsTheCommandLine) {
    openSession(configDatabase({}));
    gMenu = QStringLiteral("antes");
    platform::App().commandLine = QStringLiteral("@Menu=nuevo; @Server=otro;");
    IniciarSistema();
    EXPECT_EQ(gMenu, QStringLiteral("antes"));
    EXPECT_TRUE(utility::dataAccess().IsOpen());
    EXPECT_TRUE(gModuloOrdenDeTrabajo);  // the configuration still loads
}

TEST_F(IniciarSistemaTest, ASessionThatDoesNotOpenEndsTheProgramWithStatus2) {
    platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(path(QStringLiteral("nope.sqlite")));
    ScriptedPrompter prompter;
    testing::internal::CaptureStderr();
    EXPECT_EQ(endStatusOf([] { IniciarSistema(); }), 2);
    const std::string err = testing::internal::GetCapturedStderr();
    // The start-up says why, once, on standard error and in a box.
    EXPECT_NE(err.find("No se pudo abrir la sesión con la base de datos: no existe el archivo"), std::string::npos) << err;
    EXPECT_NE(err.find("nope.sqlite"), std::string::npos);
    EXPECT_EQ(prompter.boxes.size(), 1);
}

TEST_F(IniciarSistemaTest, InvalidCallSkipsAStepAnyOtherErrorEndsTheStartUpQuietly) {
    const struct {
        int error;
        bool configurationLoaded;
    } cases[] = {{platform::kInvalidProcedureCall, true}, {platform::kOverflow, false}, {platform::kTypeMismatch, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        reiniciarValoresModulo();
        utility::dataAccessSlot().release();
        utility::folderClientSlot().put(std::make_unique<FailingFolderClient>(c.error));
        platform::App().commandLine = keysFor(configDatabase({}, QStringLiteral("e%1.sqlite").arg(c.error)));
        ScriptedPrompter prompter;
        IniciarSistema();
        EXPECT_TRUE(utility::dataAccess().IsOpen());
        EXPECT_EQ(gModuloOrdenDeTrabajo, c.configurationLoaded);
        EXPECT_EQ(gRutaTareas.isEmpty(), !c.configurationLoaded);
        EXPECT_TRUE(prompter.boxes.isEmpty());
    }
}

TEST_F(IniciarSistemaTest, AKeyBeyondPosition32767EndsTheStartUpWithoutASession) {
    platform::App().commandLine = QString(32800, u' ') + keysFor(configDatabase({}));
    ScriptedPrompter prompter;
    IniciarSistema();  // does not end the program: the window would still open
    EXPECT_FALSE(utility::dataAccess().IsOpen());
    EXPECT_EQ(gRutaTareas, QString());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(IniciarSistemaTest, WithoutPasswordOnTheCommandLineTheEnvironmentGivesIt) {
    const QString db = configDatabase({});
    const struct {
        QString keys;
        const char* password;
    } cases[] = {
        {QStringLiteral("@Server=sqlite; @DbName=%1;").arg(db), "de-entorno"},
        {QStringLiteral("@Server=sqlite; @DbName=%1; @Password=;").arg(db), "de-entorno"},
        {QStringLiteral("@Server=sqlite; @DbName=%1; @Password=linea;").arg(db), "linea"},
    };
    qputenv("STOCKFIX_PASSWORD", "de-entorno");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        platform::App().commandLine = c.keys;
        ScriptedPrompter prompter;
        IniciarSistema();
        EXPECT_EQ(utility::dataAccess().Password(), QString::fromLatin1(c.password));
        utility::dataAccessSlot().release();
    }
    qunsetenv("STOCKFIX_PASSWORD");
}
