#pragma once

#include "platform/recordset.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace correction {

// The correction window: a warning, "&Ejecutar" to run the correction, "Salir" to leave,
// and a pale-cyan status line. Fixed size, laid out in twips.
class BUG : public QWidget {
    Q_OBJECT
public:
    explicit BUG(QWidget* parent = nullptr);

    // Load: positions the window, applies the house appearance, runs the start-up.
    void Form_Load();

    QLabel* Label2 = nullptr;
    QPushButton* CmdEjecutar = nullptr;
    QPushButton* CmdSalir = nullptr;
    QLabel* LblMensaje = nullptr;

    // Designed geometry in twips: client area, then each control's left, top, width, height.
    static constexpr int kAnchoCliente = 5730;
    static constexpr int kAltoCliente = 3090;

public slots:
    void CmdEjecutar_Click();
    void CmdSalir_Click();

protected:
    // Closed without "Salir": no LiberarObjetos, but the session closes.
    void closeEvent(QCloseEvent* event) override;

private:
    platform::Recordset RsDatos;  // open after a run until the program ends
};

}  // namespace correction
