// The practice window: its three pages, its keys, the start page and the summary. The cards
// themselves are in TarjetasPractica.cpp.
#include "ui/practica/frmPracticar.h"

#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/estadisticas/frmEstadisticas.h"
#include "ui/practica/frmAjustesRepaso.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QVBoxLayout>

using namespace Repaso;

namespace {
// The kinds offered, in the order of the list.
const std::vector<Tipo> TiposElegibles[] = {
    {Tipo::IngEsp}, {Tipo::EspIng}, {Tipo::IngEsp, Tipo::EspIng}, {Tipo::Dictado}};
constexpr int FilaDictado = 3;

// "Practicar más": how far beyond the day's limits.
struct Ampliar {
    const char* texto;
    Ampliacion ampliacion;
    int extra;
};
const Ampliar Ampliaciones[] = {
    {"10 palabras nuevas más", Ampliacion::NuevasExtra, 10},
    {"20 palabras nuevas más", Ampliacion::NuevasExtra, 20},
    {"Los repasos de mañana", Ampliacion::RepasosAdelantados, 1},
    {"Los repasos de los próximos 7 días", Ampliacion::RepasosAdelantados, 7},
};

QLabel* CreaEtiqueta(QWidget* dueno, const char* nombre, const QString& texto = {})
{
    auto* etiqueta = new QLabel(texto, dueno);
    etiqueta->setObjectName(QLatin1String(nombre));
    return etiqueta;
}

QPushButton* CreaBoton(QWidget* dueno, const char* nombre, const QString& texto)
{
    auto* boton = new QPushButton(texto, dueno);
    boton->setObjectName(QLatin1String(nombre));
    return boton;
}

void CambiaLetra(QWidget& control, double escala, bool negrita)
{
    QFont letra = control.font();
    letra.setPointSizeF(letra.pointSizeF() * escala);
    letra.setBold(negrita);
    control.setFont(letra);
}

// A count of the start page: the figure large, what it counts under it.
QWidget* CreaCifra(QWidget* dueno, QLabel*& cifra, const char* nombre, const QString& que)
{
    auto* caja = new QWidget(dueno);
    auto* columna = new QVBoxLayout(caja);
    cifra = CreaEtiqueta(caja, nombre, QStringLiteral("0"));
    cifra->setAlignment(Qt::AlignCenter);
    CambiaLetra(*cifra, 2.0, true);
    auto* texto = new QLabel(que, caja);
    texto->setAlignment(Qt::AlignCenter);
    columna->addWidget(cifra);
    columna->addWidget(texto);
    return caja;
}

// "4 min 12 s", "35 s", "1 h 5 min".
QString TextoDuracion(qint64 milisegundos)
{
    const qint64 segundos = (milisegundos + 500) / 1000;
    if (segundos < 60)
        return QStringLiteral("%1 s").arg(segundos);
    if (segundos < 3600)
        return QStringLiteral("%1 min %2 s").arg(segundos / 60).arg(segundos % 60);
    return QStringLiteral("%1 h %2 min").arg(segundos / 3600).arg(segundos / 60 % 60);
}
} // namespace

frmPracticar::frmPracticar(BaseVocabulario& base, const QStringList& temas,
                           const std::optional<QString>& tema, Habla habla)
    : QWidget(nullptr, Qt::Dialog), base_(base), almacen_(base), ajustes_(LeeAjustesRepaso(base)),
      habla_(std::move(habla)), paginas_(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("frmPracticar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Practicar"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    paginas_->addWidget(CreaInicio());
    paginas_->addWidget(CreaTarjeta());
    paginas_->addWidget(CreaResumen());
    paginas_->setObjectName(QStringLiteral("stkPaginas"));
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(paginas_);

    for (const QString& nombre : temas)
        cboTema->addItem(nombre, nombre);
    if (tema)
        cboTema->setCurrentIndex(qMax(0, cboTema->findData(*tema)));
    cboTipo->setCurrentIndex(2); // both ways
    for (QComboBox* eleccion : {cboTema, cboTipo})
        connect(eleccion, &QComboBox::currentIndexChanged, this,
                [this] { AtiendeEvento([this] { ActualizaCuenta(); }); });
    ActualizaCuenta();

    resize(600, 500);
    CentraEnPantalla(*this);
    new TeclasDialogo(*this); // Escape closes it: every answer given is saved already
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
    cmdComenzar->setFocus();
}

frmPracticar::~frmPracticar() = default;

QWidget* frmPracticar::CreaInicio()
{
    auto* pagina = new QWidget(this);
    pagina->setObjectName(QStringLiteral("pagInicio"));
    cboTema = new QComboBox(pagina);
    cboTema->setObjectName(QStringLiteral("cboTema"));
    cboTema->addItem(QStringLiteral("Todo el vocabulario"));
    cboTipo = new QComboBox(pagina);
    cboTipo->setObjectName(QStringLiteral("cboTipo"));
    cboTipo->addItems({QStringLiteral("Inglés → español"), QStringLiteral("Español → inglés"),
                       QStringLiteral("Los dos sentidos"),
                       QStringLiteral("Dictado: escuchar el inglés y escribirlo")});
    optTarjetas =
        new QRadioButton(QStringLiteral("Con &tarjetas: pensar la respuesta y mirarla"), pagina);
    optTarjetas->setObjectName(QStringLiteral("optTarjetas"));
    optTarjetas->setChecked(true);
    optEscrito = new QRadioButton(QStringLiteral("&Escribiendo la respuesta"), pagina);
    optEscrito->setObjectName(QStringLiteral("optEscrito"));
    auto* modos = new QButtonGroup(pagina);
    modos->addButton(optTarjetas);
    modos->addButton(optEscrito);
    lblSinSonido = CreaEtiqueta(pagina, "lblSinSonido",
                                QStringLiteral("El dictado necesita una salida de sonido, y este "
                                               "equipo no tiene ninguna."));
    lblSinSonido->setWordWrap(true);
    lblSinSonido->setVisible(!habla_.conSonido);
    if (!habla_.conSonido)
        if (auto* filas = qobject_cast<QStandardItemModel*>(cboTipo->model()))
            filas->item(FilaDictado)->setEnabled(false);

    auto* eleccion = new QFormLayout;
    eleccion->addRow(QStringLiteral("&Practicar:"), cboTema);
    eleccion->addRow(QStringLiteral("&Sentido:"), cboTipo);
    auto* modo = new QVBoxLayout;
    modo->addWidget(optTarjetas);
    modo->addWidget(optEscrito);
    eleccion->addRow(QStringLiteral("Modo:"), modo);
    eleccion->addRow(QString(), lblSinSonido);

    auto* hoy = new QLabel(QStringLiteral("Para hoy"), pagina);
    CambiaLetra(*hoy, 1.0, true);
    auto* cifras = new QHBoxLayout;
    cifras->addWidget(CreaCifra(pagina, lblNuevas, "lblNuevas", QStringLiteral("nuevas")));
    cifras->addWidget(
        CreaCifra(pagina, lblAprendiendo, "lblAprendiendo", QStringLiteral("en aprendizaje")));
    cifras->addWidget(CreaCifra(pagina, lblRepaso, "lblRepaso", QStringLiteral("de repaso")));

    auto* teclas = CreaEtiqueta(
        pagina, "lblTeclas",
        QStringLiteral("Espacio o Intro muestra la respuesta; 1, 2, 3 o 4 la califica (Intro: "
                       "Bien, o la propuesta al escribir); F5 pronuncia el inglés, más despacio "
                       "la segunda vez; Ctrl+Z deshace la última respuesta; Esc termina, con "
                       "todo lo respondido ya guardado."));
    teclas->setWordWrap(true);
    cmdAjustes = CreaBoton(pagina, "cmdAjustes", QStringLiteral("&Ajustes..."));
    cmdComenzar = CreaBoton(pagina, "cmdComenzar", QStringLiteral("&Comenzar"));
    cmdComenzar->setDefault(true);
    auto* pie = new QHBoxLayout;
    pie->addWidget(cmdAjustes);
    pie->addStretch();
    pie->addWidget(cmdComenzar);

    auto* columna = new QVBoxLayout(pagina);
    columna->addLayout(eleccion);
    columna->addSpacing(16);
    columna->addWidget(hoy);
    columna->addLayout(cifras);
    columna->addStretch();
    columna->addWidget(teclas);
    columna->addSpacing(8);
    columna->addLayout(pie);

    connect(cboTipo, &QComboBox::currentIndexChanged, this, [this](int fila) {
        // Dictation is answered by typing what was heard: no mode to choose.
        optTarjetas->setEnabled(fila != FilaDictado);
        optEscrito->setEnabled(fila != FilaDictado);
    });
    connect(cmdComenzar, &QPushButton::clicked, this,
            [this] { AtiendeEvento([this] { Comienza(); }); });
    connect(cmdAjustes, &QPushButton::clicked, this, [this] { AbreAjustes(); });
    return pagina;
}

QWidget* frmPracticar::CreaResumen()
{
    auto* pagina = new QWidget(this);
    pagina->setObjectName(QStringLiteral("pagResumen"));
    pagina->setFocusPolicy(Qt::StrongFocus);
    pagina->setAccessibleName(QStringLiteral("Resumen de la práctica"));
    lblTituloResumen = CreaEtiqueta(pagina, "lblTituloResumen");
    CambiaLetra(*lblTituloResumen, 1.5, true);
    lblResumen = CreaEtiqueta(pagina, "lblResumen");
    CambiaLetra(*lblResumen, 1.2, false);
    lblResumen->setTextFormat(Qt::PlainText);
    lblResumen->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    cboMas = new QComboBox(pagina);
    cboMas->setObjectName(QStringLiteral("cboMas"));
    cboMas->setAccessibleName(QStringLiteral("Qué más practicar"));
    for (const Ampliar& ampliar : Ampliaciones)
        cboMas->addItem(QString::fromUtf8(ampliar.texto));
    cmdMas = CreaBoton(pagina, "cmdMas", QStringLiteral("Practicar &más"));
    cmdInicio = CreaBoton(pagina, "cmdInicio", QStringLiteral("&Volver al inicio"));
    cmdEstadisticas = CreaBoton(pagina, "cmdEstadisticas", QStringLiteral("&Estadísticas..."));
    cmdCerrar = CreaBoton(pagina, "cmdCerrar", QStringLiteral("&Cerrar"));
    auto* mas = new QHBoxLayout;
    mas->addWidget(cboMas, 1);
    mas->addWidget(cmdMas);
    auto* pie = new QHBoxLayout;
    pie->addWidget(cmdInicio);
    pie->addWidget(cmdEstadisticas);
    pie->addStretch();
    pie->addWidget(cmdCerrar);
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(lblTituloResumen);
    columna->addWidget(lblResumen);
    columna->addSpacing(16);
    columna->addLayout(mas);
    columna->addStretch();
    columna->addLayout(pie);
    connect(cmdMas, &QPushButton::clicked, this,
            [this] { AtiendeEvento([this] { PracticaMas(); }); });
    connect(cmdInicio, &QPushButton::clicked, this, [this] {
        AtiendeEvento([this] { ActualizaCuenta(); });
        paginas_->setCurrentIndex(0);
        cmdComenzar->setFocus();
    });
    connect(cmdEstadisticas, &QPushButton::clicked, this,
            [this] { AtiendeEvento([this] { AbreEstadisticas(); }); });
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
    return pagina;
}

void frmPracticar::AbreEstadisticas()
{
    QStringList temas;
    for (int i = 1; i < cboTema->count(); ++i)
        temas << cboTema->itemData(i).toString();
    auto* ventana = new frmEstadisticas(base_, temas, EleccionElegida().tema, this);
    ventana->setWindowModality(Qt::WindowModal);
    RegistraVentana(ventana);
    ventana->show();
}

qint64 frmPracticar::Ahora()
{
    return Sistema().Ahora().toMSecsSinceEpoch();
}

Eleccion frmPracticar::EleccionElegida() const
{
    Eleccion eleccion;
    if (cboTema->currentIndex() > 0)
        eleccion.tema = cboTema->currentData().toString();
    eleccion.tipos = TiposElegibles[qMax(0, cboTipo->currentIndex())];
    return eleccion;
}

Modo frmPracticar::ModoElegido() const
{
    if (cboTipo->currentIndex() == FilaDictado)
        return Modo::Dictado;
    return optEscrito->isChecked() ? Modo::Escrito : Modo::Tarjetas;
}

void frmPracticar::ActualizaCuenta()
{
    const Recuento cuenta = Sesion(almacen_, ajustes_, EleccionElegida()).Cuenta(Ahora());
    lblNuevas->setText(QString::number(cuenta.nuevas));
    lblAprendiendo->setText(QString::number(cuenta.aprendiendo));
    lblRepaso->setText(QString::number(cuenta.repaso));
}

void frmPracticar::Comienza()
{
    modo_ = ModoElegido();
    sesion_ = std::make_unique<Sesion>(almacen_, ajustes_, EleccionElegida());
    sesion_->Comienza(Ahora());
    MuestraSiguiente();
}

void frmPracticar::AbreAjustes()
{
    auto* dialogo = new frmAjustesRepaso(
        base_, ajustes_,
        [this](const AjustesRepaso& ajustes) {
            GuardaAjustesRepaso(base_, ajustes);
            ajustes_ = ajustes;
            ActualizaCuenta();
        },
        this);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->open();
}

void frmPracticar::MuestraResumen()
{
    const qint64 ahora = Ahora();
    const Resumen resumen = sesion_->Balance(ahora);
    lblTituloResumen->setText(resumen.respondidas > 0
                                  ? QStringLiteral("Por ahora no queda nada más")
                                  : QStringLiteral("No hay nada que practicar ahora"));
    QStringList lineas;
    if (resumen.respondidas > 0) {
        lineas << QStringLiteral("Respondidas: %1").arg(resumen.respondidas)
               << QStringLiteral("Acertadas: %1 (%2 %)")
                      .arg(resumen.acertadas)
                      .arg(qRound(100.0 * resumen.acertadas / resumen.respondidas))
               << QStringLiteral("Tiempo: %1").arg(TextoDuracion(resumen.milisegundos));
    }
    lineas << QStringLiteral("Vencen mañana: %1").arg(resumen.venceManana);
    if (const std::optional<qint64> proxima = sesion_->ProximoAprendizaje())
        lineas << QStringLiteral(
                      "Hoy vuelven más tarde palabras en aprendizaje (la próxima a las %1).")
                      .arg(QLocale::system().toString(
                          QDateTime::fromMSecsSinceEpoch(*proxima).toLocalTime().time(),
                          QLocale::ShortFormat));
    lblResumen->setText(lineas.join(QLatin1Char('\n')));
    paginas_->setCurrentIndex(2);
    paginas_->currentWidget()->setFocus();
}

void frmPracticar::PracticaMas()
{
    const Ampliar& ampliar = Ampliaciones[qMax(0, cboMas->currentIndex())];
    sesion_->Comienza(Ahora(), ampliar.ampliacion, ampliar.extra);
    MuestraSiguiente();
}

bool frmPracticar::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress)
        return false;
    // Popups (a combo box's list) and the settings dialog keep their keys.
    const auto* control = qobject_cast<QWidget*>(objeto);
    if (!control || control->window() != this)
        return false;
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    bool atendida = false;
    AtiendeEvento([&] { atendida = AtiendeTecla(tecla->key(), tecla->modifiers()); });
    return atendida;
}

bool frmPracticar::AtiendeTecla(int tecla, Qt::KeyboardModifiers modificadores)
{
    modificadores &= ~Qt::KeypadModifier;
    if (tecla == Qt::Key_Z && modificadores == Qt::ControlModifier) {
        Deshace();
        return true;
    }
    const bool intro = tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
    if (modificadores != Qt::NoModifier)
        return false;
    if (paginas_->currentIndex() != 1) {
        // Enter presses the button that has the focus, else Comenzar on the start page. The
        // summary takes the focus itself, so that an Enter meant for the last card starts
        // nothing more.
        if (!intro)
            return false;
        auto* boton = qobject_cast<QPushButton*>(focusWidget());
        if (!boton && paginas_->currentIndex() == 0)
            boton = cmdComenzar;
        if (boton)
            boton->click();
        return boton != nullptr;
    }
    const bool escribe = modo_ != Modo::Tarjetas;
    if (tecla == Qt::Key_F5) {
        Escucha();
        return true;
    }
    if (fase_ == Fase::Pregunta) {
        if (intro && escribe)
            Comprueba();
        else if ((intro || tecla == Qt::Key_Space) && !escribe)
            MuestraRespuesta();
        else
            return false;
        return true;
    }
    if (tecla >= Qt::Key_1 && tecla <= Qt::Key_4) {
        const auto calificacion = Calificacion(tecla - Qt::Key_0);
        // Typed answers: the digit changes the rating proposed, and Enter confirms it.
        if (escribe)
            Propone(calificacion);
        else
            Responde(calificacion);
        return true;
    }
    if (intro || (tecla == Qt::Key_Space && !escribe)) {
        Responde(escribe ? propuesta_ : Calificacion::Bien);
        return true;
    }
    return false;
}
