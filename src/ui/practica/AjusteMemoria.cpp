#include "ui/practica/AjusteMemoria.h"

#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/Fallos.h"
#include "repaso/AjustesRepaso.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

using namespace Repaso;

namespace {

// The weights a fitting replaced, in the form the settings keep the weights in force.
const QString ClaveAnteriores = QStringLiteral("REPASO.PARAMETROS.ANTERIORES");
constexpr size_t CuentaPesos = 21;

bool SonValidos(const std::vector<double>& pesos)
{
    return pesos.size() == CuentaPesos &&
           std::all_of(pesos.begin(), pesos.end(), [](double w) { return std::isfinite(w); });
}

const QLocale& Espanol()
{
    static const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    return espanol;
}

// "Pérdida logarítmica: 0,3412 con los actuales, 0,3301 con los ajustados." and the same for
// the RMSE; without fitted figures, the current ones alone.
QStringList TextoMedidas(const MedidasAjuste& actuales, const MedidasAjuste* ajustados)
{
    const auto perdida = [](const MedidasAjuste& m) {
        return Espanol().toString(m.logLoss, 'f', 4);
    };
    const auto rmse = [](const MedidasAjuste& m) {
        return Espanol().toString(m.rmseBins * 100, 'f', 2) + QStringLiteral(" %");
    };
    const QString forma = ajustados
                              ? QStringLiteral("%1: %2 con los actuales, %3 con los ajustados.")
                              : QStringLiteral("%1: %2 con los actuales.");
    return {forma.arg(QStringLiteral("Pérdida logarítmica"), perdida(actuales),
                      ajustados ? perdida(*ajustados) : QString()),
            forma.arg(QStringLiteral("RMSE por grupos"), rmse(actuales),
                      ajustados ? rmse(*ajustados) : QString())};
}

// Fits on the calling thread, through a connection of its own to the file: the window's
// connection may be used by one thread only. Throws nothing.
ResultadoAjuste AjustaAparte(const QString& ruta, const std::vector<double>& actuales,
                             const ProgresoAjuste& progreso, const std::atomic<bool>* cancelado)
{
    try {
        BaseVocabulario base;
        // The file is open and sound already: opening it again reads a few pages and writes
        // nothing, and this connection refuses to write at all.
        base.Abre(ruta, Comprobacion::Estructura);
        base.ConexionAbierta().EjecutaSql("PRAGMA query_only = ON");
        return AjustaParametros(AlmacenRepasos(base), actuales, Dias(), progreso, cancelado);
    } catch (const ErrorTalvex& error) {
        ResultadoAjuste resultado;
        resultado.pesos = resultado.ajustados = actuales;
        resultado.motivo =
            QStringLiteral("No se han podido leer sus respuestas: %1").arg(error.Descripcion());
        return resultado;
    }
}

QPushButton* CreaBoton(QWidget* dueno, const char* nombre, const QString& texto)
{
    auto* boton = new QPushButton(texto, dueno);
    boton->setObjectName(QLatin1String(nombre));
    return boton;
}

} // namespace

AjusteMemoria::AjusteMemoria(BaseVocabulario& base, std::vector<double> pesos, Guarda guarda,
                             QWidget* dueno)
    : QGroupBox(QStringLiteral("Modelo de memoria"), dueno), base_(base), pesos_(std::move(pesos)),
      anteriores_(LeeTextoPesos(base.LeeAjuste(ClaveAnteriores).value_or(QString()))
                      .value_or(std::vector<double>{})),
      guarda_(std::move(guarda))
{
    setObjectName(QStringLiteral("grpModeloMemoria"));
    lblEnUso = new QLabel(this);
    lblEnUso->setObjectName(QStringLiteral("lblEnUso"));
    lblEnUso->setWordWrap(true);
    cmdAjustar = CreaBoton(this, "cmdAjustarMemoria", QStringLiteral("A&justar a mi memoria"));
    cmdAjustar->setToolTip(QStringLiteral(" Busca los parámetros que mejor predicen sus "
                                          "respuestas y los usa si predicen mejor "));
    cmdRestaurar =
        CreaBoton(this, "cmdRestaurarAnteriores", QStringLiteral("Restaurar los an&teriores"));
    barAjuste = new QProgressBar(this);
    barAjuste->setObjectName(QStringLiteral("barAjuste"));
    barAjuste->setRange(0, 1000);
    barAjuste->setFormat(QStringLiteral("%p %"));
    barAjuste->setAccessibleName(QStringLiteral("Progreso del ajuste"));
    cmdCancelarAjuste = CreaBoton(this, "cmdCancelarAjuste", QStringLiteral("Ca&ncelar"));
    cmdCancelarAjuste->setAccessibleName(QStringLiteral("Cancelar el ajuste"));
    lblResultado = new QLabel(this);
    lblResultado->setObjectName(QStringLiteral("lblResultado"));
    lblResultado->setWordWrap(true);
    lblResultado->setMinimumWidth(lblResultado->fontMetrics().averageCharWidth() * 60);
    lblResultado->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdAjustar);
    botones->addWidget(cmdRestaurar);
    botones->addStretch();
    auto* progreso = new QHBoxLayout;
    progreso->addWidget(barAjuste, 1);
    progreso->addWidget(cmdCancelarAjuste);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(lblEnUso);
    todo->addLayout(botones);
    todo->addLayout(progreso);
    todo->addWidget(lblResultado);
    barAjuste->hide();
    cmdCancelarAjuste->hide();
    lblResultado->hide();

    connect(cmdAjustar, &QPushButton::clicked, this, &AjusteMemoria::Comienza);
    connect(cmdCancelarAjuste, &QPushButton::clicked, this, [this] {
        Cancela();
        lblResultado->setText(QStringLiteral("Cancelando…"));
    });
    connect(cmdRestaurar, &QPushButton::clicked, this, &AjusteMemoria::Restaura);
    MuestraEnUso();
}

AjusteMemoria::~AjusteMemoria()
{
    Cancela();
    if (hilo_.joinable())
        hilo_.join();
}

void AjusteMemoria::Cancela()
{
    cancelado_ = true;
    cmdCancelarAjuste->setEnabled(false);
}

void AjusteMemoria::Comienza()
{
    if (hilo_.joinable())
        return; // one fitting at a time
    const char* ruta =
        base_.EstaAbierta() ? sqlite3_db_filename(base_.Conexion(), "main") : nullptr;
    cancelado_ = false;
    cmdAjustar->setEnabled(false);
    cmdRestaurar->setEnabled(false);
    cmdCancelarAjuste->setEnabled(true);
    barAjuste->setValue(0);
    barAjuste->show();
    cmdCancelarAjuste->show();
    lblResultado->setText(QStringLiteral("Ajustando los parámetros a sus respuestas…"));
    lblResultado->setMinimumHeight(0);
    lblResultado->show();
    // Progress is sent to the window only when it moves by a thousandth: the fitting reports
    // far more often than a bar can show.
    ProgresoAjuste progreso = [this, enviadas = -1](int hecho, int total) mutable {
        const int milesimas =
            total > 0 ? int(std::clamp(qint64(hecho) * 1000 / total, qint64(0), qint64(1000))) : 0;
        if (milesimas == enviadas)
            return;
        enviadas = milesimas;
        QMetaObject::invokeMethod(
            this, [this, milesimas] { Avanza(milesimas); }, Qt::QueuedConnection);
    };
    hilo_ = std::thread([this, ruta = QString::fromUtf8(ruta ? ruta : ""), actuales = pesos_,
                         progreso = std::move(progreso)] {
        const ResultadoAjuste resultado = AjustaAparte(ruta, actuales, progreso, &cancelado_);
        QMetaObject::invokeMethod(
            this, [this, resultado] { Termina(resultado); }, Qt::QueuedConnection);
    });
}

void AjusteMemoria::Avanza(int milesimas)
{
    barAjuste->setValue(milesimas);
}

void AjusteMemoria::Termina(const ResultadoAjuste& resultado)
{
    hilo_.join(); // its last act was to send this
    barAjuste->hide();
    cmdCancelarAjuste->hide();
    cmdAjustar->setEnabled(true);
    MuestraEnUso();
    // Cancelled by the learner: whatever the thread got to is dropped, even a whole result
    // that crossed the cancellation.
    if (cancelado_ || resultado.cancelado) {
        lblResultado->setText(QStringLiteral("Ajuste cancelado: los parámetros no han cambiado."));
        return;
    }
    QStringList lineas;
    if (resultado.antes.items > 0) {
        lineas << QStringLiteral("Medido sobre %1 respuestas:")
                      .arg(Espanol().toString(resultado.antes.items))
               << TextoMedidas(resultado.antes,
                               resultado.mejora || resultado.ajustados != resultado.pesos
                                   ? &resultado.despues
                                   : nullptr);
    }
    // Kept only when the fitting says they predict better and the figures bear it out: never
    // weights or a loss that are not numbers.
    const bool mejor = resultado.mejora && SonValidos(resultado.pesos) &&
                       std::isfinite(resultado.despues.logLoss) &&
                       resultado.despues.logLoss < resultado.antes.logLoss;
    if (mejor && Cambia(resultado.pesos))
        lineas << QStringLiteral(
            "Se usan los parámetros ajustados: predicen mejor sus respuestas.");
    else if (mejor)
        lineas << QStringLiteral("Los parámetros ajustados no se han podido guardar.");
    else
        lineas << (resultado.motivo.isEmpty() ? QStringLiteral("Los parámetros no han cambiado.")
                                              : resultado.motivo);
    lblResultado->setText(lineas.join(QLatin1Char('\n')));
    MuestraEntero();
}

void AjusteMemoria::Restaura()
{
    if (!anteriores_.empty() && Cambia(anteriores_))
        lblResultado->setText(QStringLiteral("Se han restaurado los parámetros anteriores."));
    lblResultado->show();
    MuestraEntero();
}

bool AjusteMemoria::Cambia(const std::vector<double>& nuevos)
{
    const std::vector<double> nuevosEnUso = nuevos; // `nuevos` may be anteriores_ itself
    bool guardado = false;
    AtiendeEvento([&] {
        base_.EnTransaccion([&] {
            base_.GuardaAjuste(ClaveAnteriores, TextoPesos(pesos_));
            guarda_(nuevosEnUso);
        });
        guardado = true;
    });
    if (guardado) {
        anteriores_ = pesos_;
        pesos_ = nuevosEnUso;
    }
    MuestraEnUso();
    return guardado;
}

void AjusteMemoria::MuestraEnUso()
{
    lblEnUso->setText(pesos_ == PesosPredeterminados()
                          ? QStringLiteral("En uso: los parámetros predeterminados.")
                          : QStringLiteral("En uso: parámetros ajustados a sus respuestas."));
    cmdRestaurar->setEnabled(!hilo_.joinable() && !anteriores_.empty() && anteriores_ != pesos_);
}

void AjusteMemoria::MuestraEntero()
{
    // A wrapped text asks for more height than the dialog had when it opened: it grows to show
    // it whole, and never shrinks below the size the learner gave it.
    lblResultado->setMinimumHeight(lblResultado->heightForWidth(
        std::max(lblResultado->width(), lblResultado->minimumWidth())));
    QWidget* ventana = window();
    const QSize antes = ventana->size();
    ventana->adjustSize();
    ventana->resize(ventana->size().expandedTo(antes));
}
