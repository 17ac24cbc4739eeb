#pragma once

#include "lookup/coleccion.h"
#include "platform/row_coordinates.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

// The list engine stays private to the component (its headers are not installed): ListView1 is
// for the component itself and its tests.
namespace platform {
class Recordset;
class ReportListView;
}  // namespace platform

namespace lookup {

class IndiceBusqueda;

// The lookup window: one column per field of a statement's result with a search box over
// each, check boxes and quantities when asked, Accept and Cancel. Lengths are kept in
// twips, as the window was designed, and shown at the screen's resolution.
class Lib_FrmCons2 : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons2(QWidget* parent = nullptr);
    ~Lib_FrmCons2() override;

    // Public members, written by the request before showing and read back after.
    QString SQL;
    QString CampoDevuelto;
    Coleccion CmpsDevueltos;
    bool CheckBoxes = false;
    QString gConnString;
    std::optional<QString> ValorDevuelto;  // unassigned until Accept or Cancel writes it
    QString FiltroInicial;
    QString CampoBusqueda;
    Coleccion Valores;
    Coleccion Cantidades;
    bool UsaCantidades = false;

    // Public methods.
    void Leer(int32_t& Cdesde, int16_t& Cuantas);
    void Encolumnar();
    int32_t Busqueda(int32_t& Clave, QString& QueValor);
    int16_t IndiceColumna(QString& Columna);

    // Loads the window and shows it modally; returns when it is hidden or closed.
    void MostrarModal();

    // Controls.
    QWidget* picFields = nullptr;
    QList<QComboBox*> CmbSearch;
    platform::ReportListView* ListView1 = nullptr;
    QLabel* lblFieldName = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QWidget* Frame1 = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QMenu* MNU_Emergente = nullptr;
    QAction* MNU_Llena = nullptr;
    QAction* MNU_Separador = nullptr;
    QAction* MNU_Cancelar = nullptr;

    // Positions in twips, as last set (left, top, width, height).
    struct Twips {
        double left = 0, top = 0, width = 0, height = 0;
    };
    Twips twipsDe(const QWidget* control) const;
    // The window's outer width and height in twips.
    double anchoVentana() const;
    double altoVentana() const;
    bool cargada() const { return cargada_; }

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void HScroll1_Change();
    void CmbSearch_Change(int16_t Index);
    void CmbSearch_Click(int16_t Index);
    void CmbSearch_GotFocus(int16_t Index);
    void CmbSearch_KeyDown(int16_t Index, int16_t& KeyCode, int16_t& Shift);
    void MNU_Llena_Click();
    void ListView1_ColumnClick(int position);
    void ListView1_KeyDown(int16_t& KeyCode, int16_t& Shift);
    void ListView1_DblClick();

    // Shows the pop-up menu and returns when it closes; tests put a scripted one in place.
    std::function<void(QMenu&)> mostrarMenu;
    int16_t indiceCampoActivo() const { return IndiceCampoActivo; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape: the cancel button
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AjustarDisposicion();
    void ajustarPasosBarra();
    QComboBox* crearCaja(int16_t index);
    static void nombrarCaja(QComboBox* caja, const QString& columna);
    void colocar(QWidget* control, const Twips& twips);
    void setAnchoVentana(double twips);
    double anchoDeTexto(const QString& texto) const;
    void llenarPosiblesValores(int16_t index);
    static bool esTeclaDeCaracter(int16_t keyCode);
    QComboBox* cajaDeBusqueda(int index) const;  // raises when the array has no such element
    platform::StorageRow filaActual() const;  // the selected row; raises when there is none
    int celdaCantidad();            // the quantity cell's column; raises when there is none

    platform::StorageRow ItemActual;  // none until a row is added
    std::unique_ptr<platform::Recordset> RsConsulta;
    QString OpcionMenu;
    std::unique_ptr<IndiceBusqueda> indice_;  // Busqueda's index over the list's rows
    int16_t IndiceCampoActivo = 0;

    QHash<const QWidget*, Twips> twips_;
    double extraAncho_ = 0, extraAlto_ = 0;  // frame borders, in twips
    bool cargada_ = false;
};

}  // namespace lookup
