#include "correction/bug_window.h"

#include "correction/bug_icon.xpm"
#include "correction/corrida_correccion.h"
#include "platform/accessibility.h"
#include "platform/application.h"
#include "platform/twips.h"
#include "platform/unhandled.h"
#include "startup/apariencia.h"
#include "startup/iniciar_sistema.h"
#include "startup/liberar_objetos.h"
#include "utility/library.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace correction {

namespace {

// The status line repaints at once, without letting other window events run, but no
// more often than the eye can follow; an empty text (the run's end) always shows.
class LineaEstadoVentana : public LineaEstado {
public:
    explicit LineaEstadoVentana(QLabel* label) : etiqueta_(label) {}
    void mostrar(const QString& text) override {
        etiqueta_->setText(text);
        platform::announceStatus(etiqueta_);  // heard as it changes, like a live region
        if (!mostrada_.isValid() || mostrada_.elapsed() >= kIntervaloMinimoMs || text.isEmpty()) {
            etiqueta_->repaint();
            mostrada_.restart();
        }
    }

private:
    static constexpr int kIntervaloMinimoMs = 40;
    QLabel* etiqueta_;
    QElapsedTimer mostrada_;
};

}  // namespace

BUG::BUG(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BUG"));
    setWindowTitle(QStringLiteral("LUMERA"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QPixmap(bug_icon_xpm)));
    platform::setAccessibleRole(this, QAccessible::Window);  // a screen reader says a window opened

    const double dpi = logicalDpiY();
    auto at = [dpi](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(platform::twipsRect(left, top, width, height, dpi));
    };

    CmdEjecutar = new QPushButton(QStringLiteral("&Ejecutar"), this);
    CmdEjecutar->setObjectName(QStringLiteral("CmdEjecutar"));
    at(CmdEjecutar, 2640, 1200, 2775, 495);

    CmdSalir = new QPushButton(QStringLiteral("Salir"), this);
    CmdSalir->setObjectName(QStringLiteral("CmdSalir"));
    at(CmdSalir, 2640, 1920, 2775, 495);

    Label2 = new QLabel(
        QStringLiteral("ATENCIóN: Este proceso corrige bug (17/02/2003) en Comprobantes de Compras Anulados. "), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    at(Label2, 240, 120, 5415, 615);

    LblMensaje = new QLabel(this);
    LblMensaje->setObjectName(QStringLiteral("LblMensaje"));
    LblMensaje->setTextFormat(Qt::PlainText);  // voucher numbers are data, never markup
    platform::makeStatusLine(LblMensaje, QStringLiteral("Estado de la corrección"));
    LblMensaje->setAutoFillBackground(true);
    QPalette pale = LblMensaje->palette();
    pale.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xFF));  // &H00FFFFC0
    LblMensaje->setPalette(pale);
    at(LblMensaje, 0, 2760, 5775, 255);

    // Enter on a focused button presses it, as in every window of the suite.
    for (QPushButton* b : {CmdEjecutar, CmdSalir}) b->setAutoDefault(true);
    setTabOrder(CmdEjecutar, CmdSalir);
    CmdEjecutar->setFocus();

    setFixedSize(platform::twipsToPixels(kAnchoCliente, dpi), platform::twipsToPixels(kAltoCliente, dpi));

    connect(CmdEjecutar, &QPushButton::clicked, this, &BUG::CmdEjecutar_Click);
    connect(CmdSalir, &QPushButton::clicked, this, &BUG::CmdSalir_Click);
}

void BUG::Form_Load() {
    platform::NoHandler([&] {
        utility::utilities().PlaceForm(this, 0);
        startup::AplicarEstilo(this);
        startup::IniciarSistema();
    });
}

void BUG::CmdEjecutar_Click() {
    platform::NoHandler([&] {
        LineaEstadoVentana status(LblMensaje);
        CorregirComprobantes(RsDatos, status);
    });
}

void BUG::CmdSalir_Click() {
    platform::NoHandler([&] {
        startup::LiberarObjetos();
        platform::End(0);
    });
}

void BUG::closeEvent(QCloseEvent* event) {
    try {
        startup::CerrarSesion();
    } catch (...) {
    }
    QWidget::closeEvent(event);
}

}  // namespace correction
