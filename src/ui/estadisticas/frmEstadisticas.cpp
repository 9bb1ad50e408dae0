#include "ui/estadisticas/frmEstadisticas.h"

#include "data/BaseVocabulario.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/estadisticas/CalendarioRepasos.h"
#include "ui/estadisticas/GraficosEstadisticas.h"
#include "ui/estadisticas/GuardaGrafico.h"
#include "ui/ventanas/Centrado.h"

#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Repaso;
using Graficos::Espanol;

namespace {

QLabel* CreaTexto(QWidget* dueno, const char* nombre, const QString& texto)
{
    auto* etiqueta = new QLabel(texto, dueno);
    etiqueta->setObjectName(QLatin1String(nombre));
    etiqueta->setWordWrap(true);
    etiqueta->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    return etiqueta;
}

QString Dias(int n)
{
    return n == 1 ? QStringLiteral("1 día") : QStringLiteral("%1 días").arg(Espanol().toString(n));
}

// What the save button writes for a page: its chart, or the whole page when it holds several.
QWidget* Guardable(QWidget* pagina)
{
    const QList<QChartView*> graficos = pagina->findChildren<QChartView*>();
    return graficos.size() == 1 ? graficos.front() : pagina;
}

} // namespace

frmEstadisticas::frmEstadisticas(BaseVocabulario& base, const QStringList& temas,
                                 const std::optional<QString>& tema, QWidget* padre)
    : QWidget(padre, Qt::Window), base_(base), cboEleccion(new QComboBox(this)),
      tabPaginas(new QTabWidget(this)),
      cmdGuardar(new QPushButton(QStringLiteral("&Guardar gráfico..."), this)),
      cmdCerrar(new QPushButton(QStringLiteral("&Cerrar"), this))
{
    setObjectName(QStringLiteral("frmEstadisticas"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Estadísticas"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    cboEleccion->setObjectName(QStringLiteral("cboEleccion"));
    cboEleccion->addItem(QStringLiteral("Todo el vocabulario"));
    for (const QString& nombre : temas)
        cboEleccion->addItem(nombre, nombre);
    if (tema)
        cboEleccion->setCurrentIndex(qMax(0, cboEleccion->findData(*tema)));
    auto* etiqueta = new QLabel(QStringLiteral("&De:"), this);
    etiqueta->setBuddy(cboEleccion);
    cboEleccion->setAccessibleName(QStringLiteral("De qué vocabulario"));
    tabPaginas->setObjectName(QStringLiteral("tabPaginas"));
    tabPaginas->setAccessibleName(QStringLiteral("Estadísticas"));
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(etiqueta);
    arriba->addWidget(cboEleccion, 1);
    auto* pie = new QHBoxLayout;
    pie->addWidget(cmdGuardar);
    pie->addStretch();
    pie->addWidget(cmdCerrar);
    auto* columna = new QVBoxLayout(this);
    columna->addLayout(arriba);
    columna->addWidget(tabPaginas, 1);
    columna->addLayout(pie);

    connect(cboEleccion, &QComboBox::currentIndexChanged, this, [this] {
        AtiendeEvento([this] {
            Calcula();
            Muestra();
        });
    });
    connect(cmdGuardar, &QPushButton::clicked, this,
            [this] { AtiendeEvento([this] { Guarda(); }); });
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes it from any control; the pages are remade, so no filter on their controls.
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);

    Calcula();
    Muestra();
    const QFontMetrics medida = fontMetrics();
    resize(medida.averageCharWidth() * 130, medida.height() * 42);
    CentraEnPantalla(*this);
}

std::optional<QString> frmEstadisticas::TemaElegido() const
{
    if (cboEleccion->currentIndex() <= 0)
        return std::nullopt;
    return cboEleccion->currentData().toString();
}

void frmEstadisticas::Calcula()
{
    const QDateTime ahora = Sistema().Ahora();
    hoy_ = ahora.toLocalTime().addMSecs(-4 * 60 * 60 * 1000).date(); // days start at 04:00
    cifras_ = CalculaEstadisticas(base_, TemaElegido(), ahora.toMSecsSinceEpoch());
}

void frmEstadisticas::Muestra()
{
    const int pagina = tabPaginas->currentIndex();
    while (tabPaginas->count() > 0) {
        QWidget* vieja = tabPaginas->widget(0);
        tabPaginas->removeTab(0);
        delete vieja;
    }
    tabPaginas->addTab(CreaVencimientos(), QStringLiteral("&Vencimientos"));
    tabPaginas->addTab(CreaCalendario(), QStringLiteral("Ca&lendario"));
    tabPaginas->addTab(CreaRetencion(), QStringLiteral("&Retención"));
    tabPaginas->addTab(CreaTarjetas(), QStringLiteral("&Tarjetas"));
    tabPaginas->addTab(CreaHoras(), QStringLiteral("&Horas"));
    tabPaginas->setCurrentIndex(qMax(0, pagina));
}

QWidget* frmEstadisticas::CreaVencimientos()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagVencimientos"));
    cboPlazo = new QComboBox(pagina);
    cboPlazo->setObjectName(QStringLiteral("cboPlazo"));
    cboPlazo->setAccessibleName(QStringLiteral("Plazo"));
    cboPlazo->addItems({QStringLiteral("Los próximos 30 días"), QStringLiteral("El próximo año")});
    auto* atrasadas = CreaTexto(pagina, "lblAtrasadas",
                                QStringLiteral("Atrasados de días anteriores: %1")
                                    .arg(Espanol().toString(cifras_.atrasadas)));
    auto* fila = new QHBoxLayout;
    fila->addWidget(cboPlazo);
    fila->addWidget(atrasadas, 1);
    auto* columna = new QVBoxLayout(pagina);
    columna->addLayout(fila);
    vencimientos_ = nullptr;
    connect(cboPlazo, &QComboBox::currentIndexChanged, this, [this] { MuestraVencimientos(); });
    MuestraVencimientos();
    columna->addWidget(vencimientos_, 1);
    return pagina;
}

void frmEstadisticas::MuestraVencimientos()
{
    QWidget* pagina = cboPlazo->parentWidget();
    QWidget* nuevo =
        Graficos::CreaVencimientos(cifras_, hoy_, cboPlazo->currentIndex() == 1, pagina);
    if (vencimientos_) {
        pagina->layout()->replaceWidget(vencimientos_, nuevo);
        delete vencimientos_;
    }
    vencimientos_ = nuevo;
}

QWidget* frmEstadisticas::CreaCalendario()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagCalendario"));
    auto* calendario = new CalendarioRepasos(cifras_.porDia, hoy_, pagina);
    calendario->setObjectName(QStringLiteral("calRepasos"));
    calendario->setAccessibleName(QStringLiteral("Repasos de cada día del último año"));
    calendario->setAccessibleDescription(Graficos::DescribeCalendario(cifras_.porDia, hoy_));
    int total = 0, conRepasos = 0;
    for (int n : cifras_.porDia) {
        total += n;
        conRepasos += n > 0;
    }
    auto* rachas = CreaTexto(
        pagina, "lblRachas",
        QStringLiteral("Racha actual: %1\nRacha más larga: %2\nEn el último año: %3 repasos en %4 "
                       "(hoy enmarcado en rojo; más oscuro, más repasos)")
            .arg(Dias(cifras_.rachaActual), Dias(cifras_.rachaMasLarga), Espanol().toString(total),
                 Dias(conRepasos)));
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(calendario, 0, Qt::AlignHCenter);
    columna->addWidget(rachas);
    columna->addStretch();
    return pagina;
}

QWidget* frmEstadisticas::CreaRetencion()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagRetencion"));
    auto* explicacion =
        CreaTexto(pagina, "lblExplicaRetencion",
                  QStringLiteral("Respuestas de repaso que no fueron «Otra vez». Jóvenes: tarjetas "
                                 "con un intervalo de menos de %1 días; maduras: de %1 o más.")
                      .arg(IntervaloMadura));
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(explicacion);
    columna->addWidget(Graficos::CreaRetencion(cifras_, pagina), 1);
    return pagina;
}

QWidget* frmEstadisticas::CreaTarjetas()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagTarjetas"));
    auto* conocidas = CreaTexto(pagina, "lblConocidas",
                                QStringLiteral("Palabras que sabe ahora (estimación): %1")
                                    .arg(Espanol().toString(qRound(cifras_.conocidas))));
    QFont letra = conocidas->font();
    letra.setBold(true);
    conocidas->setFont(letra);
    auto* estados = new QHBoxLayout;
    estados->addWidget(Graficos::CreaEstados(cifras_, pagina), 2);
    estados->addWidget(Graficos::CreaTemas(cifras_, pagina), 3);
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(conocidas);
    columna->addLayout(estados, 1);
    columna->addWidget(Graficos::CreaConocidas(cifras_, pagina), 1);
    return pagina;
}

QWidget* frmEstadisticas::CreaHoras()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagHoras"));
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(Graficos::CreaHoras(cifras_, pagina), 1);
    return pagina;
}

QString frmEstadisticas::TituloGrafico() const
{
    QString pagina = tabPaginas->tabText(tabPaginas->currentIndex());
    pagina.remove(QLatin1Char('&'));
    return QStringLiteral("%1 · %2 · %3")
        .arg(pagina, cboEleccion->currentText(),
             Espanol().toString(hoy_, QStringLiteral("d 'de' MMMM 'de' yyyy")));
}

void frmEstadisticas::Guarda()
{
    QString pagina = tabPaginas->tabText(tabPaginas->currentIndex());
    pagina.remove(QLatin1Char('&'));
    const QString nombre = QStringLiteral("%1 %2.png").arg(pagina, hoy_.toString(Qt::ISODate));
    QString ruta = Sistema().DialogoGuardarArchivo(
        this, QStringLiteral("Guardar gráfico"), QDir::homePath(), nombre,
        QStringLiteral("Imagen PNG (*.png);;Documento PDF (*.pdf)"));
    if (ruta.isEmpty())
        return;
    const QString extension = QFileInfo(ruta).suffix().toLower();
    if (extension != QLatin1String("png") && extension != QLatin1String("pdf"))
        ruta += QStringLiteral(".png");
    GuardaGrafico(*Guardable(tabPaginas->currentWidget()), TituloGrafico(), ruta);
}
