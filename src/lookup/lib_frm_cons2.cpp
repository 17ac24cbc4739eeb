#include "lookup/lib_frm_cons2.h"

#include "lookup/cantidades.h"
#include "lookup/carga_filas.h"
#include "lookup/disposicion.h"
#include "lookup/indice_busqueda.h"
#include "platform/accessibility.h"
#include "platform/key_codes.h"
#include "platform/error_styles.h"
#include "platform/prompts.h"
#include "platform/recordset.h"
#include "platform/report_list_view.h"
#include "platform/text_rules.h"
#include "platform/twips.h"
#include "utility/library.h"

#include <QScopeGuard>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QCursor>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QVarLengthArray>
#include <cstring>

namespace lookup {

using platform::ErrorScope;
using platform::RuntimeError;
using platform::Trim;

namespace {

platform::ErrorHandler manejadorDeFormLoad() {
    return platform::reportAndAsk([](const RuntimeError& e) {
        return int(utility::utilities().ReportError(e, {}, QStringLiteral("FORM_LOAD")));
    });
}

}  // namespace

Lib_FrmCons2::Lib_FrmCons2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Lib_FrmCons2"));
    setWindowTitle(QStringLiteral("Consulta..."));
    setModal(true);
    setSizeGripEnabled(true);

    picFields = new QWidget(this);
    picFields->setObjectName(QStringLiteral("picFields"));
    ListView1 = new platform::ReportListView(picFields);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Resultados"));
    ListView1->items().setLocale(QLocale());
    indice_ = std::make_unique<IndiceBusqueda>(ListView1->items());
    // The index follows the list: a new order is learnt at once, changed cells and rows
    // are indexed again when next searched.
    const platform::ListItemsModel* filas = &ListView1->items();
    connect(filas, &QAbstractItemModel::layoutChanged, this, [this] { indice_->nuevoOrden(); });
    connect(filas, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& desde, const QModelIndex& hasta, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) indice_->celdasCambiadas(desde.column(), hasta.column());
            });
    connect(filas, &QAbstractItemModel::rowsInserted, this, [this] { indice_->olvidarTodo(); });
    connect(filas, &QAbstractItemModel::rowsRemoved, this, [this] { indice_->olvidarTodo(); });
    connect(filas, &QAbstractItemModel::modelReset, this, [this] { indice_->olvidarTodo(); });
    lblFieldName = new QLabel(picFields);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    tahoma.setWeight(QFont::Normal);
    lblFieldName->setFont(tahoma);
    lblFieldName->setTextFormat(Qt::PlainText);
    lblFieldName->lower();
    CmbSearch << crearCaja(0);

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setTracking(false);  // the panel moves when the thumb is let go
    HScroll1->setFocusPolicy(Qt::TabFocus);  // a stop of the tab order, between the list and the buttons
    HScroll1->installEventFilter(this);
    Frame1 = new QWidget(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), Frame1);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    CmdAceptar->setDefault(true);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), Frame1);
    CmdCancelar->setObjectName(QStringLiteral("CmdCancelar"));
    // Enter on a focused button presses that button; elsewhere it presses Aceptar.
    CmdAceptar->setAutoDefault(true);
    CmdCancelar->setAutoDefault(true);

    MNU_Emergente = new QMenu(QStringLiteral("MNU_Emergente"), this);
    MNU_Llena = MNU_Emergente->addAction(QStringLiteral("Llenar Con Posibles Valores"));
    MNU_Separador = MNU_Emergente->addSeparator();
    MNU_Cancelar = MNU_Emergente->addAction(QStringLiteral("Cancelar"));

    colocar(picFields, {0, 0, 7200, 3975});
    colocar(CmbSearch[0], {0, 0, 1815, 315});
    colocar(ListView1, {0, 360, 7335, 3255});
    colocar(lblFieldName, {0, 60, 1572, 252});
    colocar(HScroll1, {0, 3600, 7215, 255});
    colocar(Frame1, {1080, 3960, 4935, 255});
    colocar(CmdAceptar, {120, 0, 1695, 255});
    colocar(CmdCancelar, {3000, 0, 1695, 255});
    resize(platform::twipsToPixels(7245, logicalDpiX()), platform::twipsToPixels(4410, logicalDpiY()));

    setTabOrder(CmbSearch[0], ListView1);
    setTabOrder(ListView1, HScroll1);
    setTabOrder(HScroll1, CmdAceptar);
    setTabOrder(CmdAceptar, CmdCancelar);

    connect(MNU_Llena, &QAction::triggered, this, [this] { MNU_Llena_Click(); });
    // F5 opens the menu at the mouse position, its first item ready for Enter.
    mostrarMenu = [this](QMenu& menu) {
        menu.setActiveAction(MNU_Llena);
        menu.exec(QCursor::pos());
    };
    ListView1->installEventFilter(this);
    connect(ListView1, &platform::ReportListView::columnClick, this, [this](int p) { ListView1_ColumnClick(p); });
    connect(ListView1, &platform::ReportListView::dblClick, this, [this] { ListView1_DblClick(); });

    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(CmdAceptar, &QPushButton::clicked, this, [this] { CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { CmdCancelar_Click(); });
}

Lib_FrmCons2::~Lib_FrmCons2() = default;

// ---- geometry in twips

void Lib_FrmCons2::colocar(QWidget* control, const Twips& t) {
    if (t.width < 0 || t.height < 0) throw RuntimeError::of(platform::kInvalidPropertyValue);
    twips_[control] = t;
    const double tpp = platform::twipsPerPixel(logicalDpiX());
    control->setGeometry(qRound(t.left / tpp), qRound(t.top / tpp), qRound(t.width / tpp), qRound(t.height / tpp));
}

Lib_FrmCons2::Twips Lib_FrmCons2::twipsDe(const QWidget* control) const { return twips_.value(control); }

double Lib_FrmCons2::anchoVentana() const {
    return frameGeometry().width() * platform::twipsPerPixel(logicalDpiX());
}
double Lib_FrmCons2::altoVentana() const {
    return frameGeometry().height() * platform::twipsPerPixel(logicalDpiX());
}

void Lib_FrmCons2::setAnchoVentana(double twips) {
    const int borders = frameGeometry().width() - width();
    resize(std::max(1, qRound(twips / platform::twipsPerPixel(logicalDpiX())) - borders), height());
    Form_Resize();  // the resize handler runs on every change of size
}

double Lib_FrmCons2::anchoDeTexto(const QString& texto) const {
    return QFontMetricsF(font()).horizontalAdvance(texto) * platform::twipsPerPixel(logicalDpiX());
}

// What a screen reader says of a search box: the column it searches and what typing does.
void Lib_FrmCons2::nombrarCaja(QComboBox* caja, const QString& columna) {
    const QString nombre = QStringLiteral("Buscar ") + columna;
    const QString descripcion =
        QStringLiteral("Escriba el comienzo de un valor de %1: se elige la primera fila que empieza así").arg(columna);
    for (QWidget* w : {static_cast<QWidget*>(caja), static_cast<QWidget*>(caja->lineEdit())}) {
        w->setAccessibleName(nombre);
        w->setAccessibleDescription(descripcion);
    }
}

QComboBox* Lib_FrmCons2::crearCaja(int16_t index) {
    auto* caja = new QComboBox(picFields);
    platform::keepAccessibleName(caja);  // "Buscar <columna>" stays its name as the user types
    caja->setObjectName(QStringLiteral("CmbSearch_%1").arg(index));
    caja->setEditable(true);
    caja->setInsertPolicy(QComboBox::NoInsert);
    caja->setCompleter(nullptr);  // no inline completion: the window's search is the only one
    // A drop-down list may hold a whole column: never measure every entry.
    caja->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    caja->installEventFilter(this);
    caja->lineEdit()->installEventFilter(this);
    connect(caja, &QComboBox::editTextChanged, this, [this, index] { CmbSearch_Change(index); });
    connect(caja, &QComboBox::activated, this, [this, index] { CmbSearch_Click(index); });
    return caja;
}

// ---- loading

void Lib_FrmCons2::MostrarModal() {
    Form_Load();
    exec();
}

void Lib_FrmCons2::Form_Load() {
    ErrorScope scope(manejadorDeFormLoad());
    scope.step([&] { Valores = nuevaColeccion(); });
    scope.step([&] { Cantidades = nuevaColeccion(); });
    scope.step([&] { ListView1->items().clear(); });
    scope.step([&] {
        if (!RsConsulta) RsConsulta = std::make_unique<platform::Recordset>();
        utility::dataAccess().OpenRecordset(SQL, *RsConsulta, 0, 1, -1);
    });
    scope.step([&] { ListView1->setCheckboxes(CheckBoxes); });
    scope.step([&] { Encolumnar(); });
    scope.step([&] {
        int32_t desde = 1;
        int16_t cuantas = 0;
        Leer(desde, cuantas);
    });
    scope.step([&] { AjustarDisposicion(); });
    ListView1->items().setLocale(QLocale());  // the user's, as of this lookup
    scope.step([&] { ListView1->setSorted(true); });
    scope.step([&] { utility::utilities().PlaceForm(this, 0); });
    scope.step([&] {
        if (!Trim(FiltroInicial).isEmpty()) CmbSearch[0]->setEditText(FiltroInicial);
    });
    scope.step([&] {
        if (!RsConsulta) throw RuntimeError::of(platform::kObjectRequired);
        // A statement that failed left nothing open: that failure was reported already.
        if (RsConsulta->isOpen()) utility::dataAccess().CloseRecordset(*RsConsulta);
    });
    scope.step([&] { RsConsulta.reset(); });
    cargada_ = true;
}

void Lib_FrmCons2::Encolumnar() {
    // Any failure: its description in a box, and the method ends; what was made stays.
    ErrorScope scope(platform::messageBoxOnError(platform::vbOKOnly));
    scope.step([&] {
        ListView1->clearColumns();
        if (!RsConsulta) throw RuntimeError::of(platform::kObjectRequired);
        const int32_t n = RsConsulta->fieldCount();
        for (int32_t i = 0; i < n; ++i) {
            const platform::Field campo = RsConsulta->fields(i);
            const double w = campo.definedSize();
            if (i != 0) {
                // A new element copies element 0's design: same top, width and height.
                CmbSearch << crearCaja(platform::CheckedInt16(i));
                colocar(CmbSearch.back(), twipsDe(CmbSearch[0]));
            }
            QComboBox* caja = CmbSearch[i];
            caja->setVisible(true);
            caja->setToolTip(campo.name());  // each box names its own column's field
            nombrarCaja(caja, campo.name());
            const double ancho = anchoColumna(w, [this](int x) { return anchoDeTexto(QString(x, u'X')); });
            ListView1->addColumn(QString(), campo.name(), ancho);
        }
        if (UsaCantidades)
            ListView1->addColumn(QStringLiteral("CANTIDAD"), QStringLiteral("**Cantidad**"),
                                 anchoDeTexto(QString(10, u'X')));
    });
}

void Lib_FrmCons2::Leer(int32_t&, int16_t&) {
    ErrorScope scope(manejadorDeFormLoad());
    platform::ListItemsModel& items = ListView1->items();
    platform::Recordset vacio0;
    bool hayRecordset = false;
    scope.step([&] {
        if (!RsConsulta) throw RuntimeError::of(platform::kObjectRequired);
        hayRecordset = true;
    });
    platform::Recordset& rs = hayRecordset ? *RsConsulta : vacio0;  // an unopened one fails each step
    items.beginLoad();
    const auto endLoad = qScopeGuard([&items] { items.endLoad(); });

    bool vacio = true;
    scope.step([&] { vacio = rs.bof(); });
    if (vacio) return;
    if (cargarColumnas(rs, items)) {
        ItemActual = platform::StorageRow{items.count() - 1};
        return;
    }
    scope.step([&] {
        std::vector<size_t> chars;
        for (int i = 0; i < rs.fieldCount(); ++i) chars.push_back(rs.textSize(i));
        items.reserve(rs.recordCount(), chars);
    });
    bool fin = false;
    scope.step([&] { fin = rs.eof(); });
    // Cells are read as views into the recordset (Null as empty text, as NonNullValue
    // gives it) and written without a copy of their own: a million rows load in one pass.
    // Values other than text become the text the user's platform shows for them.
    const QLocale locale;
    QString scratch;
    CeldaBuffer celda;
    while (!fin && !scope.left()) {
        scope.step([&] { ItemActual = items.appendRow(); });
        scope.step([&] { items.setCell(ItemActual, 0, celdaDeCampo(0, rs.fields(0).textView(scratch, locale), celda)); });
        int n = 0;
        scope.step([&] { n = rs.fieldCount(); });
        for (int16_t i = 1; i < n && !scope.left(); ++i)
            scope.step([&] { items.setCell(ItemActual, i, celdaDeCampo(i, rs.fields(i).textView(scratch, locale), celda)); });
        scope.step([&] { rs.moveNext(); });
        scope.step([&] { fin = rs.eof(); });
    }
}

void Lib_FrmCons2::AjustarDisposicion() {
    std::vector<Columna> columnas;
    for (int i = 1; i <= ListView1->columnHeaderCount(); ++i) {
        const platform::ColumnHeader h = ListView1->columnHeader(i);
        columnas.push_back({h.left, h.width});
    }
    const double pantalla = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry().width() *
                            platform::twipsPerPixel(logicalDpiX());
    const Disposicion d = calcularDisposicion(columnas, UsaCantidades, pantalla);
    for (size_t i = 0; i < d.cajas.size() && i < size_t(CmbSearch.size()); ++i) {
        Twips t = twipsDe(CmbSearch[int(i)]);
        t.left = d.cajas[i].left;
        t.width = d.cajas[i].width;
        colocar(CmbSearch[int(i)], t);
    }
    Twips lista = twipsDe(ListView1);
    lista.width = d.anchoLista;
    colocar(ListView1, lista);
    Twips panel = twipsDe(picFields);
    panel.width = d.anchoPanel;
    colocar(picFields, panel);
    Twips barra = twipsDe(HScroll1);
    barra.width = d.anchoBarra;
    colocar(HScroll1, barra);
    HScroll1->setMaximum(d.maximoBarra);
    ajustarPasosBarra();
    setAnchoVentana(d.anchoVentana);
}

// The bar counts in twips: an arrow moves the strip by an average character, a click beside
// the thumb by the width the window shows of it.
void Lib_FrmCons2::ajustarPasosBarra() {
    const double tpp = platform::twipsPerPixel(logicalDpiX());
    HScroll1->setSingleStep(std::max(1, qRound(QFontMetricsF(font()).averageCharWidth() * tpp)));
    HScroll1->setPageStep(std::max(1, qRound(width() * tpp)));
}

// ---- resizing and scrolling

void Lib_FrmCons2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Lib_FrmCons2::Form_Resize() {
    ErrorScope scope(platform::skipEveryError());
    const Redimension r = calcularRedimension(anchoVentana(), altoVentana(), twipsDe(Frame1).height,
                                              twipsDe(Frame1).width, twipsDe(HScroll1).height);
    auto cambiar = [&](QWidget* control, auto&& ajuste) {
        scope.step([&] {
            Twips t = twipsDe(control);
            ajuste(t);
            colocar(control, t);
        });
    };
    cambiar(picFields, [&](Twips& t) { t.height = r.altoPanel; });
    cambiar(ListView1, [&](Twips& t) { t.height = r.altoLista; });
    cambiar(picFields, [&](Twips& t) { t.width = r.anchoPanel; });
    cambiar(ListView1, [&](Twips& t) { t.width = r.anchoLista; });
    cambiar(Frame1, [&](Twips& t) { t.top = r.topFrame; });
    cambiar(HScroll1, [&](Twips& t) { t.top = r.topBarra; });
    cambiar(HScroll1, [&](Twips& t) { t.width = r.anchoBarra; });
    cambiar(Frame1, [&](Twips& t) { t.left = r.leftFrame; });
    scope.step([&] { ajustarPasosBarra(); });
}

void Lib_FrmCons2::HScroll1_Change() {
    ErrorScope scope(platform::skipEveryError());
    scope.step([&] {
        Twips t = twipsDe(picFields);
        t.left = -HScroll1->value();
        colocar(picFields, t);
    });
}

// ---- searching

int32_t Lib_FrmCons2::Busqueda(int32_t& Clave, QString& QueValor) {
    ErrorScope scope(platform::skipEveryError());
    int32_t resultado = 0;
    // The first row in displayed order whose cell, trimmed, starts with the trimmed text,
    // ignoring case; the column's index answers without walking every row.
    scope.step([&] {
        const platform::ShownRow fila = indice_->primeraFila(Clave <= 0 ? 0 : Clave, QueValor);
        resultado = int32_t(platform::positionOf(fila).value);
    });
    return resultado;
}

int16_t Lib_FrmCons2::IndiceColumna(QString& Columna) {
    const QString buscada = Trim(Columna);
    for (int16_t i = 1; i <= ListView1->columnHeaderCount(); ++i)
        if (Trim(ListView1->columnHeader(i).text).compare(buscada, Qt::CaseInsensitive) == 0) return i;
    return 0;
}

void Lib_FrmCons2::CmbSearch_Change(int16_t Index) {
    ErrorScope scope(platform::skipEveryError());
    int32_t clave = 0;
    int32_t posicion = 0;
    scope.step([&] { clave = utility::utilities().ToLong(QString::number(Index)); });
    scope.step([&] {
        QString texto = Trim(cajaDeBusqueda(Index)->currentText());
        posicion = Busqueda(clave, texto);
    });
    scope.step([&] {
        if (posicion != 0) {
            ListView1->selectPosition(posicion);
            ListView1->ensurePositionVisible(posicion);
        }
    });
}

void Lib_FrmCons2::CmbSearch_Click(int16_t Index) { CmbSearch_Change(Index); }

void Lib_FrmCons2::CmbSearch_GotFocus(int16_t Index) {
    IndiceCampoActivo = Index;
    ErrorScope scope(platform::skipEveryError());
    scope.step([&] { indice_->preparar(Index); });  // ready before the first key
}

bool Lib_FrmCons2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int16_t i = 0; i < CmbSearch.size(); ++i)
            if (watched == CmbSearch[i] || watched == CmbSearch[i]->lineEdit()) CmbSearch_GotFocus(i);
    } else if (event->type() == QEvent::KeyPress && watched == HScroll1) {
        // Qt's horizontal scroll bar turns the arrow keys around (its controls are inverted
        // for the wheel): Right moves the strip right, as the bar's own arrows do.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            HScroll1->triggerAction(key == Qt::Key_Right ? QAbstractSlider::SliderSingleStepAdd
                                                         : QAbstractSlider::SliderSingleStepSub);
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        platform::KeyDown k = platform::keyDownOf(*static_cast<QKeyEvent*>(event));
        if (watched == ListView1) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QPersistentModelIndex enLaLista = ListView1->currentIndex();
            ListView1_KeyDown(k.keyCode, k.shift);
            // Enter was the confirmation: the default button must not confirm again. Space
            // ticks the row the user was on, though the search it started in the box may
            // have selected another. Every other key goes on to the list's own handling
            // (the list starts no type-ahead search of its own).
            if (key->key() == Qt::Key_Space && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                ListView1->toggleChecked(enLaLista);
                return true;
            }
            return k.keyCode == platform::vbKeyReturn;
        }
        // A box's keys reach the box itself (which hands them to its line edit directly),
        // or its line edit when that has the focus of its own.
        for (int16_t i = 0; i < CmbSearch.size(); ++i)
            if (watched == CmbSearch[i] || watched == CmbSearch[i]->lineEdit()) CmbSearch_KeyDown(i, k.keyCode, k.shift);
    }
    return QDialog::eventFilter(watched, event);
}

// ---- keys in a search box and the pop-up menu

void Lib_FrmCons2::CmbSearch_KeyDown(int16_t Index, int16_t& KeyCode, int16_t& Shift) {
    ErrorScope scope(platform::skipEveryError());
    switch (KeyCode) {
    case platform::vbKeyF5:
        scope.step([&] { OpcionMenu.clear(); });
        scope.step([&] { mostrarMenu(*MNU_Emergente); });
        scope.step([&] {
            if (platform::EqualsNoCase(OpcionMenu, QStringLiteral("-1"))) llenarPosiblesValores(Index);
        });
        break;
    case platform::vbKeyDown:
    case platform::vbKeyUp:
    case platform::vbKeyPageDown:
    case platform::vbKeyPageUp:
        scope.step([&] {
            int16_t sinModificador = 0;
            ListView1_KeyDown(KeyCode, sinModificador);
        });
        scope.step([&] { ListView1->setFocus(); });
        break;
    default: break;
    }
    (void)Shift;
}

void Lib_FrmCons2::MNU_Llena_Click() { OpcionMenu = QStringLiteral("-1"); }

void Lib_FrmCons2::llenarPosiblesValores(int16_t index) {
    QComboBox* caja = cajaDeBusqueda(index);
    caja->clear();
    // Every row adds its cell as the list shows it, duplicates and empty cells included.
    const qsizetype filas = ListView1->items().count();
    QStringList valores;
    valores.reserve(filas);
    for (qsizetype pos = 1; pos <= filas; ++pos) valores << ListView1->cellView(pos, index).toString();
    // One model for the whole list: adding a million items one by one would freeze the window.
    const QSignalBlocker quiet(caja);
    caja->setModel(new QStringListModel(valores, caja));
    caja->setCurrentIndex(-1);
    caja->setEditText(QString());
}

// ---- the list: sorting, keys, double click

void Lib_FrmCons2::ListView1_ColumnClick(int position) {
    ErrorScope scope(platform::skipEveryError());
    scope.step([&] {
        ListView1->setSortState(true, position - 1, ListView1->sortOrder() == 0 ? 1 : 0);
    });
}

bool Lib_FrmCons2::esTeclaDeCaracter(int16_t k) {
    return (k >= 47 && k <= 93) || (k >= 97 && k <= 125) || k == platform::vbKeyBack || k == platform::vbKeySpace;
}

QComboBox* Lib_FrmCons2::cajaDeBusqueda(int index) const {
    if (index < 0 || index >= CmbSearch.size())
        throw RuntimeError(platform::kControlArrayElementMissing,
                           QStringLiteral("El elemento '%1' de la matriz de controles no existe").arg(index));
    return CmbSearch[index];
}

platform::StorageRow Lib_FrmCons2::filaActual() const {
    const platform::Position pos{ListView1->selectedPosition()};
    if (!pos.valid()) throw RuntimeError::of(platform::kObjectVariableNotSet);
    return ListView1->storageOf(pos);
}

int Lib_FrmCons2::celdaCantidad() {
    QString titulo = QString::fromLatin1(kTituloCantidad);
    const int columna = IndiceColumna(titulo) - 1;
    if (columna < 0) throw RuntimeError::of(platform::kIndexOutOfBounds);
    return columna;
}

void Lib_FrmCons2::ListView1_KeyDown(int16_t& KeyCode, int16_t& Shift) {
    ErrorScope scope(platform::reportAndAsk([](const RuntimeError& e) {
        return int(utility::utilities().ReportError(e, {}, QStringLiteral("ListView1_KeyDown")));
    }));
    platform::ListItemsModel& items = ListView1->items();
    // Every step that touches the current row takes it anew: with no current row each of
    // those steps fails (and is reported) on its own, and no prompt opens for it.
    int columna = -1;
    auto celda = [&] { return items.cell(filaActual(), columna); };
    auto escribir = [&](const QString& texto) { items.setCell(filaActual(), columna, texto); };

    if (KeyCode == platform::vbKeyReturn) {
        scope.step([&] { CmdAceptar_Click(); });
    } else if (KeyCode == platform::vbKeyInsert && Shift == platform::vbShiftMask && UsaCantidades) {
        QString respuesta;
        scope.step([&] { columna = celdaCantidad(); });
        scope.step([&] {
            const QString actual = celda();
            respuesta = platform::InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                           QStringLiteral("Carga de Datos"), actual);
        });
        scope.step([&] {
            columna = celdaCantidad();
            escribir(cantidadPedida(respuesta));
        });
        scope.step([&] { items.setChecked(filaActual(), true); });
    } else if (KeyCode == platform::vbKeyInsert && Shift == 0 && UsaCantidades) {
        double q = 0;
        scope.step([&] { columna = celdaCantidad(); });
        scope.step([&] { q = leerCantidad(celda()) + 1; });
        scope.step([&] { escribir(cantidadTexto(q)); });
        scope.step([&] { items.setChecked(filaActual(), true); });
    } else if (KeyCode == platform::vbKeyDelete && Shift == 0 && UsaCantidades) {
        scope.step([&] { columna = celdaCantidad(); });
        scope.step([&] { escribir(cantidadTexto(leerCantidad(celda()) - 1)); });
        scope.step([&] {
            if (leerCantidad(celda()) <= 0) {
                items.setChecked(filaActual(), false);
                escribir(QStringLiteral("0.00"));
            }
        });
    } else if (esTeclaDeCaracter(KeyCode)) {
        // The character whose code is the key code, whatever key gave it.
        QComboBox* caja = nullptr;
        scope.step([&] { caja = cajaDeBusqueda(IndiceCampoActivo); });
        scope.step([&] { caja->setEditText(caja->currentText() + QChar(char16_t(KeyCode))); });
        scope.step([&] { caja->setFocus(); });
    }
}

void Lib_FrmCons2::ListView1_DblClick() { CmdAceptar_Click(); }

// ---- confirmation

void Lib_FrmCons2::CmdAceptar_Click() {
    ErrorScope scope(platform::reportAndAsk([](const RuntimeError& e) {
        return int(utility::utilities().ReportError(e, {}, QStringLiteral("CmdAceptar_Click")));
    }));
    platform::ListItemsModel& items = ListView1->items();
    QString actual;  // the current value: never emptied between fields or rows
    auto agregar = [](const Coleccion& c, const QString& texto) {
        if (!c) throw RuntimeError::of(platform::kObjectVariableNotSet);
        c->append(texto);
    };
    // The value of column c (from 1) in a storage row: the row's text or a sub-item.
    auto valor = [&](platform::StorageRow fila, int16_t c) {
        if (c < 1) throw RuntimeError::of(platform::kIndexOutOfBounds);
        return items.cell(fila, c - 1);
    };

    if (CheckBoxes) {
        scope.step([&] {
            if (CampoDevuelto.isEmpty()) CampoDevuelto = ListView1->columnHeader(1).text;
        });
        qsizetype n = 0;
        scope.step([&] { n = items.count(); });
        for (qsizetype i = 1; i <= n && !scope.left(); ++i) {
            const platform::StorageRow fila = ListView1->storageOf(platform::Position{i});
            if (!items.checked(fila)) continue;
            int16_t c = 0;
            scope.step([&] { c = IndiceColumna(CampoDevuelto); });
            scope.step([&] { actual = valor(fila, c); });
            scope.step([&] { agregar(Valores, actual); });
            scope.step([&] {
                if (UsaCantidades) agregar(Cantidades, items.cell(fila, celdaCantidad()));
            });
        }
        scope.step([&] { hide(); });
        return;
    }

    platform::StorageRow fila;
    scope.step([&] { fila = ListView1->storageOf(platform::Position{ListView1->selectedPosition()}); });
    if (!fila.valid()) {
        if (!scope.left()) scope.step([&] { hide(); });
        return;
    }
    if (CmpsDevueltos) {
        qsizetype m = 0;
        scope.step([&] { m = CmpsDevueltos->size(); });
        for (qsizetype j = 0; j < m && !scope.left(); ++j) {
            int16_t c = 0;
            scope.step([&] {
                QString campo = CmpsDevueltos->at(j);
                c = IndiceColumna(campo);
            });
            scope.step([&] {
                if (c >= 1) actual = valor(fila, c);
            });
            scope.step([&] { agregar(Valores, actual); });
        }
    }
    if (!Trim(CampoDevuelto).isEmpty()) {
        int16_t c = 0;
        scope.step([&] { c = IndiceColumna(CampoDevuelto); });
        scope.step([&] {
            if (c >= 1) actual = valor(fila, c);
        });
    }
    scope.step([&] { ValorDevuelto = actual; });
    scope.step([&] {
        if (UsaCantidades) agregar(Cantidades, items.cell(fila, celdaCantidad()));
    });
    scope.step([&] { hide(); });
}

// ---- leaving without a choice

void Lib_FrmCons2::CmdCancelar_Click() {
    ErrorScope scope(platform::skipEveryError());
    scope.step([&] { ValorDevuelto = QString(); });
    scope.step([&] { CmpsDevueltos.reset(); });
    scope.step([&] { Valores.reset(); });
    scope.step([&] { hide(); });
}

void Lib_FrmCons2::reject() { CmdCancelar_Click(); }

void Lib_FrmCons2::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();  // never refuses; hiding ends the modal showing
}

void Lib_FrmCons2::Form_Unload() {
    ErrorScope scope(platform::messageBoxOnError(platform::vbOKOnly | platform::vbCritical,
                                                 QStringLiteral("Aviso al Operador")));
    scope.step([&] { ListView1->items().clear(); });
    cargada_ = false;
}

}  // namespace lookup
