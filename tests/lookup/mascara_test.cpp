#include "lookup/mascara_consulta.h"
#include "platform/runtime_error.h"
#include "startup/iniciar_sistema.h"
#include "startup/preparacion_consultas.h"
#include "startup/valores_sesion.h"
#include "support/test_env.h"
#include "utility/library.h"
#include "support/child_process.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lookup;
using testsupport::ProgramTest;

namespace {

QByteArray campo(const QByteArray& text, int width) { return text + QByteArray(width - text.size(), ' '); }

// The default mask file, written out by hand field by field.
QByteArray defaultFileByHand() {
    const QByteArray records[][3] = {
        {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
        {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
        {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
        {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    };
    QByteArray file;
    for (const auto& r : records)
        file += campo(r[0], 100) + campo(r[1], 100) + campo(r[2], 500) + QByteArray(500, ' ') + "\r\n";
    return file;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray record(const char* tabla, const char* campos = "|A|", const char* filtro = "") {
    return codificarRegistro({QStringLiteral("N"), QString::fromLatin1(tabla), QString::fromLatin1(campos),
                              QString::fromLatin1(filtro), QStringLiteral("\r\n")});
}

class MaskFile : public ProgramTest {
protected:
    std::optional<MascaraLimpia> find(const QByteArray& file, const QString& table) {
        const QString p = path(QStringLiteral("m.kvl"));
        writeFile(p, file);
        MascaraConsulta buffer;
        return buscarMascara(p, table, buffer);
    }
};

}  // namespace

TEST_F(MaskFile, TheDefaultFileIsWrittenByteForByte) {
    startup::consultaGlobal().gRutaMascaraConsultas = path(QStringLiteral("consultas.kvl"));
    startup::CrearMascaras();
    const QByteArray written = readFile(path(QStringLiteral("consultas.kvl")));
    EXPECT_EQ(written.size(), 4808);
    EXPECT_EQ(written, defaultFileByHand());
}

TEST_F(MaskFile, RecordsKeepTheirWidthsInTheAnsiCodePage) {
    MascaraConsulta r{QStringLiteral("AÑO €"), QString(150, u'T'), QStringLiteral("|Ñandú|"), QStringLiteral("x = '中'"),
                      QStringLiteral("\r\n")};
    const QByteArray bytes = codificarRegistro(r);
    ASSERT_EQ(bytes.size(), kLargoRegistro);
    EXPECT_EQ(bytes.left(5), QByteArray("A\xD1O \x80"));
    EXPECT_EQ(bytes.mid(100, 100), QByteArray(100, 'T'));  // cut at the field's width
    EXPECT_EQ(bytes.mid(200, 7), QByteArray("|\xD1" "and\xFA|"));
    EXPECT_EQ(bytes.mid(700, 8), QByteArray("x = '?' "));  // a character the code page lacks
    EXPECT_EQ(bytes.right(2), QByteArray("\r\n"));

    const MascaraConsulta back = decodificarRegistro(bytes);
    EXPECT_EQ(back.Nombre, QStringLiteral("AÑO €") + QString(95, u' '));
    EXPECT_EQ(back.Campos.left(7), QStringLiteral("|Ñandú|"));
    EXPECT_EQ(back.Tabla.size(), 100);
}

TEST_F(MaskFile, CleaningTheColumnList) {
    const struct {
        const char* campos;
        const char* lista;
    } cases[] = {
        {"|DESCRIPCION|IDARTICULO|", "DESCRIPCION,IDARTICULO"},
        {"||A|B||", ",A,B,"},  // one comma off each end only
        {"", "*"},           {"|", "*"},     {"||", "*"},     {"|||", ","},
        {"  |A|  ", "A"},    {"A", "A"},     {"A|B", "A,B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.campos);
        EXPECT_EQ(limpiarCampos(QString::fromLatin1(c.campos).leftJustified(500, u' ')), QString::fromLatin1(c.lista));
    }
    EXPECT_EQ(limpiarTabla(QStringLiteral("  VT_\u00FFCLI\0ENTES  ").leftJustified(100, QChar(0))),
              QStringLiteral("VT_CLIENTES"));
}

TEST_F(MaskFile, FindingARecord) {
    QByteArray nulTable(kLargoRegistro, '\0');
    nulTable.replace(100, 11, "VT_CLIENTES");
    nulTable.replace(200, 3, "|X|");
    const QByteArray file = record("VT_CLIENTES", "|A|B|", "ACTIVO = 1") + record("vt_clientes", "|OTRA|") +
                            record("MA_CONTACTOS");
    auto m = find(file, QStringLiteral("  vt_clientes "));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->tabla, QStringLiteral("VT_CLIENTES"));
    EXPECT_EQ(m->campos, QStringLiteral("A,B"));  // the first of two records for the table
    EXPECT_EQ(m->filtro, QStringLiteral("ACTIVO = 1"));
    EXPECT_FALSE(find(file, QStringLiteral("NO_HAY")));

    auto fromNul = find(nulTable, QStringLiteral("VT_CLIENTES"));  // a stretch never written
    ASSERT_TRUE(fromNul);
    EXPECT_EQ(fromNul->filtro, QString());  // NUL bytes ignored in the table and the filter

    EXPECT_FALSE(find(QByteArray(), QStringLiteral("VT_CLIENTES")));  // an empty file
    // A partial record at the end is not read: the file holds length div 1202 records.
    EXPECT_FALSE(find(record("A") + record("MA_CONTACTOS").left(600), QStringLiteral("MA_CONTACTOS")));
    EXPECT_TRUE(find(record("A") + record("MA_CONTACTOS") + "junk", QStringLiteral("MA_CONTACTOS")));

    MascaraConsulta buffer;
    EXPECT_FALSE(buscarMascara(path(QStringLiteral("missing.kvl")), QStringLiteral("A"), buffer));
    writeFile(path(QStringLiteral(".hidden.kvl")), record("A"));
    EXPECT_FALSE(existeArchivo(path(QStringLiteral(".hidden.kvl"))));
    EXPECT_FALSE(existeArchivo(dir.path()));
    EXPECT_TRUE(existeArchivo(path(QStringLiteral("m.kvl"))));
}

TEST_F(MaskFile, TheStartUpCreatesAMissingFileAndNeverTouchesAnExistingOne) {
    const QString db = makeDatabase(QStringLiteral("s.sqlite"), testsupport::configurationTable());
    platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1; @Password=pw;").arg(db);
    startup::IniciarSistema();
    const QString masks = path(QStringLiteral("consultas.kvl"));
    EXPECT_EQ(readFile(masks), defaultFileByHand());
    auto& request = startup::consultaGlobal();
    EXPECT_EQ(request.gRutaMascaraConsultas, masks);
    EXPECT_TRUE(request.gUsarMascarasConsultas);
    EXPECT_EQ(request.gConnString, utility::dataAccess().ConnectionString());

    // A second program start finds the file and leaves it as it is.
    writeFile(masks, record("MIA"));
    utility::dataAccessSlot().release();
    startup::olvidarConsultaGlobal();
    startup::IniciarSistema();
    EXPECT_EQ(readFile(masks), record("MIA"));
    EXPECT_TRUE(startup::consultaGlobal().gUsarMascarasConsultas);
}

TEST_F(MaskFile, AFolderWhereTheFileCannotBeMadeEndsTheStartUpQuietly) {
    const QString db = makeDatabase(QStringLiteral("s.sqlite"), testsupport::configurationTable());
    writeFile(path(QStringLiteral("notafolder")), "x");
    platform::App().path = path(QStringLiteral("notafolder"));
    qputenv(testsupport::kUserConfigHome, path(QStringLiteral("notafolder")).toLocal8Bit());  // nor can the user's folder
    platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(db);
    startup::IniciarSistema();
    EXPECT_TRUE(utility::dataAccess().IsOpen());
    EXPECT_EQ(startup::gRutaTareas, QString());  // the configuration was not loaded
}

TEST_F(MaskFile, AnApplicationFolderThatCannotTakeTheFileSendsItToTheUsersConfigurationFolder) {
    const QString db = makeDatabase(QStringLiteral("s.sqlite"), testsupport::configurationTable());
    platform::App().path = path(QStringLiteral("bin"));  // not there, so not writable (whoever runs the test)
    platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(db);
    startup::IniciarSistema();
    const QString masks = path(QStringLiteral("config/stockfix/consultas.kvl"));
    EXPECT_EQ(startup::consultaGlobal().gRutaMascaraConsultas, masks);
    EXPECT_EQ(readFile(masks), defaultFileByHand());
    EXPECT_NE(startup::gRutaTareas, QString());  // the start-up went on to the configuration

    // The next start reads the user's file and leaves it alone.
    writeFile(masks, record("MIA"));
    utility::dataAccessSlot().release();
    startup::olvidarConsultaGlobal();
    startup::IniciarSistema();
    EXPECT_EQ(startup::consultaGlobal().gRutaMascaraConsultas, masks);
    EXPECT_EQ(readFile(masks), record("MIA"));
}

TEST(MaskFolder, TheApplicationFolderComesFirst) {
    const QString app = QStringLiteral("/opt/app/"), user = QStringLiteral("/home/ana/.config/stockfix");
    const struct {
        bool fileInApp, appWritable;
        QString user, expected;
    } cases[] = {
        {false, true, user, app},       // a build folder: as always
        {true, false, user, app},       // a file put beside an installed program is used
        {false, false, user, user},     // an installed program: the user's folder
        {false, false, QString(), app}, // no user folder: the application folder, which then fails
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fileInApp << c.appWritable << c.user.toStdString());
        EXPECT_EQ(startup::carpetaMascaras(app, c.fileInApp, c.appWritable, c.user), c.expected);
    }
}
