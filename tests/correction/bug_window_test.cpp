#include "correction/bug_icon.xpm"
#include "correction/bug_window.h"
#include "correction_fixture.h"
#include "platform/resource_icon.h"
#include "platform/twips.h"
#include "support/child_process.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

using correction::BUG;
using namespace testsupport;

namespace {

class BugWindow : public ProgramTest {
protected:
    // Stock rows of vouchers A, B (both without header) and C (with an account).
    QString correctionDatabase(const QStringList& extra = {}) {
        QStringList sql = correctionSchema();
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (1, 'fcc', 'A', 1), (2, 'fcc', 'A', 1), "
                              "(3, 'fcc', 'B', 1), (4, 'fcc', 'C', 1), (5, 'fcc', 'D', 1)")
            << QStringLiteral("INSERT INTO C_MV_Cpte VALUES ('fcc', 'C', '1.1')")
            << configurationTable();
        sql << extra;
        return makeDatabase(QStringLiteral("bug.sqlite"), sql);
    }
    void loadOn(BUG& w, const QString& file) {
        platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(file);
        w.Form_Load();
        ASSERT_TRUE(utility::dataAccess().IsOpen());
    }
    QStringList remaining(const QString& file) {
        return queryColumn(file, QStringLiteral("SELECT IDMOVIMIENTO FROM V_MV_Stock ORDER BY 1"));
    }
};

}  // namespace

TEST_F(BugWindow, IsLaidOutAsDesignedInTwips) {
    EXPECT_EQ(platform::twipsRect(2640, 1200, 2775, 495, 96), QRect(176, 80, 185, 33));
    EXPECT_EQ(platform::twipsToPixels(5730, 96), 382);
    EXPECT_EQ(platform::twipsToPixels(3090, 144), 309);

    BUG w;
    const double dpi = w.logicalDpiY();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("LUMERA"));
    EXPECT_EQ(w.size(), QSize(platform::twipsToPixels(5730, dpi), platform::twipsToPixels(3090, dpi)));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(w.windowIcon().availableSizes().value(0), QSize(32, 32));

    const struct {
        QWidget* control;
        QString text;
        QRect twips;
    } controls[] = {
        {w.Label2, QStringLiteral("ATENCIóN: Este proceso corrige bug (17/02/2003) en Comprobantes de Compras Anulados. "),
         QRect(240, 120, 5415, 615)},
        {w.CmdEjecutar, QStringLiteral("&Ejecutar"), QRect(2640, 1200, 2775, 495)},
        {w.CmdSalir, QStringLiteral("Salir"), QRect(2640, 1920, 2775, 495)},
        {w.LblMensaje, QString(), QRect(0, 2760, 5775, 255)},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control->objectName().toStdString());
        EXPECT_EQ(c.control->geometry(),
                  platform::twipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height(), dpi));
        EXPECT_EQ(c.control->property("text").toString(), c.text);
    }
    EXPECT_EQ(w.LblMensaje->palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_TRUE(w.LblMensaje->autoFillBackground());
}

TEST_F(BugWindow, FromTheKeyboardEnterRunsTheCorrectionAndTabReachesSalir) {
    const QString file = correctionDatabase();
    ScriptedPrompter prompter;
    BUG w;
    loadOn(w, file);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), w.CmdEjecutar);

    QTest::keyClick(w.CmdEjecutar, Qt::Key_Return);
    EXPECT_EQ(remaining(file), (QStringList{"4"}));  // A, B and D lost their rows, C kept its own
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front().prompt, QStringLiteral("Proceso Finalizado!"));
    EXPECT_EQ(w.LblMensaje->text(), QString());

    // The access key runs it again (the button animates its click first): nothing left to do.
    QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompter.boxes.size() == 2; }, 2000));
    EXPECT_EQ(remaining(file), (QStringList{"4"}));
    QTest::keyClick(w.CmdEjecutar, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.CmdSalir);
}

TEST_F(BugWindow, AFailingDeletionStopsTheRunKeepingEarlierDeletionsAndEndsTheProgram) {
    const QString file = correctionDatabase({QStringLiteral(
        "CREATE TRIGGER guard BEFORE DELETE ON V_MV_Stock WHEN old.IDCOMPROBANTE = 'B' "
        "BEGIN SELECT RAISE(ABORT, 'comprobante B bloqueado'); END")});
    ScriptedPrompter prompter;
    BUG w;
    loadOn(w, file);
    EXPECT_EQ(endStatusOf([&] { w.CmdEjecutar_Click(); }), 1);
    EXPECT_EQ(remaining(file), (QStringList{"3", "4", "5"}));  // A deleted before B failed; D never reached
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front().style, platform::vbOKOnly | platform::vbCritical);
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("-2147217900")));
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("comprobante B bloqueado")));
    EXPECT_EQ(w.LblMensaje->text(), QStringLiteral("Corrigiendo... fccB"));
}

// The icon the start-up names (IconoDelSistema's default) is the program's own resource where
// the platform keeps icons among a program's resources (Windows: its .rc), with the window's
// own picture; elsewhere there is none by that name and the window keeps its own.
TEST_F(BugWindow, TheSystemIconIsTheProgramsOwnResource) {
    const QImage own = QImage(bug_icon_xpm).convertToFormat(QImage::Format_ARGB32);
    const QIcon resource = platform::resourceIcon(QStringLiteral("ICONKORVELA"));
    EXPECT_EQ(resource.isNull(), !testsupport::kProgramIconResources);
    if (!resource.isNull()) {
        EXPECT_EQ(resource.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32), own);
    }
    EXPECT_TRUE(platform::resourceIcon(QStringLiteral("OTRO_ICONO")).isNull());

    ScriptedPrompter prompter;
    BUG w;
    loadOn(w, correctionDatabase());
    EXPECT_EQ(w.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32), own);
}

// The house look (Fusion, a grey face) where desktops differ; Windows' own style on Windows.
TEST_F(BugWindow, LooksAsThePlatformsOwnProgramsWhereItHasAStyleOfItsOwn) {
    ScriptedPrompter prompter;
    BUG w;
    loadOn(w, correctionDatabase());
    EXPECT_EQ(w.style()->name(), QLatin1String(testsupport::kWindowStyle));
    EXPECT_EQ(w.findChild<QPushButton*>()->style()->name(), QLatin1String(testsupport::kWindowStyle));
}

TEST_F(BugWindow, WithoutASessionTheRunFailsAtItsFirstQuery) {
    ScriptedPrompter prompter;
    BUG w;  // the start-up never ran
    EXPECT_EQ(endStatusOf([&] { w.CmdEjecutar_Click(); }), 1);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("sesión")));
}

TEST_F(BugWindow, ADatabaseRemovedWhileTheWindowIsOpenIsReportedNotWrittenUnseen) {
    const QString file = correctionDatabase();
    ScriptedPrompter prompter;
    BUG w;
    loadOn(w, file);
    if (!testsupport::kOpenFilesCanBeRemoved) {
        // Windows refuses to remove the database the window's session holds open.
        EXPECT_FALSE(QFile::remove(file));
        EXPECT_TRUE(QFile::exists(file));
        return;
    }
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(endStatusOf([&] { w.CmdEjecutar_Click(); }), 1);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("ya no existe"))) << prompter.boxes.front().prompt.toStdString();
}

TEST_F(BugWindow, SalirReleasesTheLibraryObjectsAndEnds) {
    const QString file = correctionDatabase();
    BUG w;
    loadOn(w, file);
    EXPECT_EQ(endStatusOf([&] { w.CmdSalir_Click(); }), 0);
    EXPECT_FALSE(utility::dataAccessSlot().created());
    EXPECT_FALSE(utility::utilitiesSlot().created());
    EXPECT_EQ(remaining(file).size(), 5);  // leaving deletes nothing
}
