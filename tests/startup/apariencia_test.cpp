#include "startup/apariencia.h"
#include "startup/valores_sesion.h"
#include "startup_fixture.h"
#include "support/child_process.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QStyle>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window with a toolbar control that takes the toolbar style.
class Toolbar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QVariant StyleBar MEMBER styleBar)
public:
    using QWidget::QWidget;
    QVariant styleBar;
};

class AplicarEstiloTest : public testsupport::StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override {
        QDir::setCurrent(previous);
        StartupTest::TearDown();
    }
    void writeIcon() {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path(QStringLiteral("korvela.ico")), "ICO"));
    }
    QString previous;
};

}  // namespace

TEST_F(AplicarEstiloTest, TheIconFileServesOnlyAWindowWithoutIcon) {
    QWidget bare;
    startup::AplicarEstilo(&bare);  // no icon, no file: stays without one, silently
    EXPECT_TRUE(bare.windowIcon().isNull());

    writeIcon();
    QWidget designed;
    QPixmap own(32, 32);
    own.fill(Qt::blue);
    designed.setWindowIcon(QIcon(own));
    const qint64 designedKey = designed.windowIcon().cacheKey();
    startup::AplicarEstilo(&designed);
    EXPECT_EQ(designed.windowIcon().cacheKey(), designedKey);  // no named resource: keeps its own

    startup::AplicarEstilo(&bare);
    EXPECT_FALSE(bare.windowIcon().isNull());
    EXPECT_EQ(bare.windowIcon().pixmap(32, 32).toImage().pixelColor(5, 5), QColor(Qt::red));
}

TEST_F(AplicarEstiloTest, ToolbarControlsTakeTheToolbarStyle) {
    QWidget form;
    auto* bar = new Toolbar(&form);
    bar->setObjectName(QStringLiteral("TBarRep1"));
    auto* plain = new QWidget(&form);
    plain->setObjectName(QStringLiteral("UtilKor1"));  // no such property: the step is skipped
    startup::gFlatToolbars = 0.0;
    startup::AplicarEstilo(&form);
    EXPECT_EQ(bar->styleBar, QVariant(0.0));
    // The house appearance was applied: the form has its own style, the platform's where it has one.
    EXPECT_NE(form.style(), QApplication::style());
    EXPECT_EQ(form.style()->name(), QLatin1String(testsupport::kWindowStyle));
}

#include "apariencia_test.moc"
