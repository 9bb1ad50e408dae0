// The cards of the practice window: the question, the answer shown or typed and judged, the
// four ratings with the interval each would give, undo and the speaker.
#include "nucleo/Fallos.h"
#include "ui/practica/MarcaDiferencias.h"
#include "ui/practica/TextoIntervalo.h"
#include "ui/practica/frmPracticar.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

using namespace Repaso;

namespace {
struct Boton {
    const char* nombre;
    const char* texto;
};
// In the order of their ratings, 1 to 4.
const Boton BotonesCalificacion[] = {{"cmdOtraVez", "Otra vez"},
                                     {"cmdDificil", "Difícil"},
                                     {"cmdBien", "Bien"},
                                     {"cmdFacil", "Fácil"}};

QLabel* CreaTexto(QWidget* dueno, const char* nombre, double escala = 1.0, bool negrita = false)
{
    auto* etiqueta = new QLabel(dueno);
    etiqueta->setObjectName(QLatin1String(nombre));
    etiqueta->setAlignment(Qt::AlignCenter);
    etiqueta->setWordWrap(true);
    etiqueta->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont letra = etiqueta->font();
    letra.setPointSizeF(letra.pointSizeF() * escala);
    letra.setBold(negrita);
    etiqueta->setFont(letra);
    return etiqueta;
}

QString TextoJuicio(const Veredicto& veredicto, bool vacia)
{
    if (vacia)
        return QStringLiteral("No ha escrito nada");
    switch (veredicto.juicio) {
    case Juicio::Correcta:
        return QStringLiteral("Correcto");
    case Juicio::Casi:
        return veredicto.soloAcentos ? QStringLiteral("Casi: atención a los acentos")
                                     : QStringLiteral("Casi");
    case Juicio::Incorrecta:
        break;
    }
    return QStringLiteral("Incorrecto");
}

const char* ColorJuicio(Juicio juicio)
{
    switch (juicio) {
    case Juicio::Correcta:
        return "#1e7a2e";
    case Juicio::Casi:
        return "#a05a00";
    case Juicio::Incorrecta:
        break;
    }
    return "#c00000";
}

// Rich text keeps the blanks as typed.
QString ConBlancos(const QString& html)
{
    return QStringLiteral("<span style=\"white-space:pre-wrap;\">%1</span>").arg(html);
}
} // namespace

QWidget* frmPracticar::CreaTarjeta()
{
    auto* pagina = new QWidget(this);
    pagina->setObjectName(QStringLiteral("pagTarjeta"));
    // The page takes the keys (Space, Enter, 1–4) when no box is typed in.
    pagina->setFocusPolicy(Qt::StrongFocus);
    pagina->setAccessibleName(QStringLiteral("Tarjeta"));
    lblProgreso = CreaTexto(pagina, "lblProgreso", 0.9);
    lblProgreso->setAlignment(Qt::AlignRight);
    lblIndicacion = CreaTexto(pagina, "lblIndicacion");
    lblPregunta = CreaTexto(pagina, "lblPregunta", 2.0, true);
    lblPregunta->setTextFormat(Qt::PlainText);
    lblFonetica = CreaTexto(pagina, "lblFonetica", 1.2);
    lblFonetica->setTextFormat(Qt::PlainText);

    cmdEscuchar = new QPushButton(QApplication::style()->standardIcon(QStyle::SP_MediaVolume),
                                  QStringLiteral("Escuchar (F5)"), pagina);
    cmdEscuchar->setObjectName(QStringLiteral("cmdEscuchar"));
    cmdEscuchar->setToolTip(QStringLiteral(" Escuchar el inglés; otra vez, más despacio "));
    connect(cmdEscuchar, &QPushButton::clicked, this,
            [this] { AtiendeEvento([this] { Escucha(); }); });

    txtRespuesta = new QLineEdit(pagina);
    txtRespuesta->setObjectName(QStringLiteral("txtRespuesta"));
    txtRespuesta->setAccessibleName(QStringLiteral("Su respuesta"));
    // A learner's answer is not to be completed or corrected by the input method.
    txtRespuesta->setInputMethodHints(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase |
                                      Qt::ImhSensitiveData | Qt::ImhNoTextHandles);
    QFont letra = txtRespuesta->font();
    letra.setPointSizeF(letra.pointSizeF() * 1.4);
    txtRespuesta->setFont(letra);
    txtRespuesta->setAlignment(Qt::AlignCenter);

    auto* raya = new QFrame(pagina);
    raya->setFrameShape(QFrame::HLine);
    raya->setFrameShadow(QFrame::Sunken);
    lblJuicio = CreaTexto(pagina, "lblJuicio", 1.3, true);
    lblJuicio->setTextFormat(Qt::PlainText);
    lblEscrita = CreaTexto(pagina, "lblEscrita", 1.2);
    lblEscrita->setTextFormat(Qt::RichText);
    lblRespuesta = CreaTexto(pagina, "lblRespuesta", 1.8, true);
    lblRespuesta->setTextFormat(Qt::RichText);
    lblTema = CreaTexto(pagina, "lblTema");
    lblTema->setTextFormat(Qt::PlainText);
    txtNotas = new QPlainTextEdit(pagina);
    txtNotas->setObjectName(QStringLiteral("txtNotas"));
    txtNotas->setAccessibleName(QStringLiteral("Notas del ítem"));
    txtNotas->setReadOnly(true);
    txtNotas->setFocusPolicy(Qt::ClickFocus);
    txtNotas->setMaximumHeight(90);

    cmdMostrar = new QPushButton(pagina);
    cmdMostrar->setObjectName(QStringLiteral("cmdMostrar"));
    connect(cmdMostrar, &QPushButton::clicked, this, [this] {
        AtiendeEvento([this] { modo_ == Modo::Tarjetas ? MuestraRespuesta() : Comprueba(); });
    });
    auto* botones = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* boton = new QPushButton(pagina);
        boton->setObjectName(QLatin1String(BotonesCalificacion[i].nombre));
        boton->setMinimumHeight(48);
        connect(boton, &QPushButton::clicked, this,
                [this, i] { AtiendeEvento([this, i] { Responde(Calificacion(i + 1)); }); });
        botones->addWidget(boton, 0, i);
        cmdCalificaciones[size_t(i)] = boton;
    }
    botones->addWidget(cmdMostrar, 1, 0, 1, 4);

    auto* pregunta = new QHBoxLayout;
    pregunta->addStretch();
    pregunta->addWidget(cmdEscuchar);
    pregunta->addStretch();
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(lblProgreso);
    columna->addWidget(lblIndicacion);
    columna->addSpacing(24); // the question stays where it is when the answer shows
    columna->addWidget(lblPregunta);
    columna->addWidget(lblFonetica);
    columna->addLayout(pregunta);
    columna->addWidget(txtRespuesta);
    columna->addWidget(raya);
    columna->addWidget(lblJuicio);
    columna->addWidget(lblEscrita);
    columna->addWidget(lblRespuesta);
    columna->addWidget(lblTema);
    columna->addWidget(txtNotas);
    columna->addStretch(1);
    columna->addLayout(botones);
    return pagina;
}

QString frmPracticar::Correcta() const
{
    return actual_->tipo == Tipo::IngEsp ? actual_->espanol : actual_->ingles;
}

bool frmPracticar::InglesALaVista() const
{
    // Spanish to English asks for the English: heard before the answer, it would give it away.
    return actual_ && (actual_->tipo != Tipo::EspIng || fase_ == Fase::Respuesta);
}

void frmPracticar::MuestraFonetica(bool mostrar)
{
    const QString fonetica =
        mostrar && habla_.fonetica ? habla_.fonetica(actual_->ingles) : QString();
    lblFonetica->setText(fonetica.isEmpty() ? QString() : QStringLiteral("/%1/").arg(fonetica));
    lblFonetica->setVisible(!fonetica.isEmpty());
}

void frmPracticar::MuestraSiguiente()
{
    actual_ = sesion_->Siguiente(Ahora());
    if (!actual_) {
        MuestraResumen();
        return;
    }
    fase_ = Fase::Pregunta;
    vecesEscuchada_ = 0;
    reloj_.start();
    const bool dictado = actual_->tipo == Tipo::Dictado;
    const bool escribe = modo_ != Modo::Tarjetas;
    const Recuento quedan = sesion_->Pendientes();
    lblProgreso->setText(QStringLiteral("Quedan %1 nuevas · %2 en aprendizaje · %3 de repaso")
                             .arg(quedan.nuevas)
                             .arg(quedan.aprendiendo)
                             .arg(quedan.repaso));
    switch (actual_->tipo) {
    case Tipo::IngEsp:
        lblIndicacion->setText(QStringLiteral("¿Qué significa en español?"));
        lblPregunta->setText(actual_->ingles);
        break;
    case Tipo::EspIng:
        lblIndicacion->setText(QStringLiteral("¿Cómo se dice en inglés?"));
        lblPregunta->setText(actual_->espanol);
        break;
    case Tipo::Dictado:
        lblIndicacion->setText(QStringLiteral("Escuche y escriba en inglés lo que oye"));
        lblPregunta->clear();
        break;
    }
    lblPregunta->setVisible(!dictado);
    MuestraFonetica(actual_->tipo == Tipo::IngEsp);
    cmdEscuchar->setVisible(InglesALaVista());
    cmdEscuchar->setEnabled(habla_.conSonido);

    txtRespuesta->clear();
    txtRespuesta->setReadOnly(false);
    txtRespuesta->setVisible(escribe);
    for (QWidget* control :
         std::initializer_list<QWidget*>{lblJuicio, lblEscrita, lblRespuesta, lblTema, txtNotas})
        control->setVisible(false);
    for (QPushButton* boton : cmdCalificaciones)
        boton->setVisible(false);
    cmdMostrar->setText(escribe ? QStringLiteral("Comprobar (Intro)")
                                : QStringLiteral("Mostrar la respuesta (Espacio)"));
    cmdMostrar->setVisible(true);
    paginas_->setCurrentIndex(1);
    if (escribe)
        txtRespuesta->setFocus();
    else
        paginas_->currentWidget()->setFocus();
    if (dictado || (ajustes_.hablaSola && InglesALaVista()))
        Dice(false);
}

void frmPracticar::MuestraRespuesta()
{
    fase_ = Fase::Respuesta;
    lblRespuesta->setText(ConBlancos(Correcta().toHtmlEscaped()));
    lblRespuesta->setAccessibleDescription(Correcta());
    lblRespuesta->setVisible(true);
    if (actual_->tipo == Tipo::Dictado) {
        // The English heard, now written, with its meaning under it.
        lblTema->setText(actual_->espanol + QStringLiteral("  ·  ") + actual_->tema);
    } else {
        lblTema->setText(actual_->tema);
    }
    lblTema->setVisible(true);
    txtNotas->setPlainText(actual_->notas);
    txtNotas->setVisible(!actual_->notas.trimmed().isEmpty());
    if (actual_->tipo != Tipo::IngEsp) {
        // The English, now shown, with its IPA (Spanish to English: heard now, if wished).
        MuestraFonetica(true);
        cmdEscuchar->setVisible(true);
        if (ajustes_.hablaSola && actual_->tipo == Tipo::EspIng)
            Dice(false);
    }
    cmdMostrar->setVisible(false);
    MuestraCalificaciones();
    if (modo_ == Modo::Tarjetas)
        paginas_->currentWidget()->setFocus();
}

void frmPracticar::Comprueba()
{
    const QString escrita = txtRespuesta->text();
    const Veredicto veredicto = JuzgaRespuesta(
        escrita, Correcta(), actual_->tipo == Tipo::IngEsp ? Idioma::Espanol : Idioma::Ingles);
    const bool vacia = escrita.trimmed().isEmpty();
    txtRespuesta->setReadOnly(true);
    MuestraRespuesta();
    lblJuicio->setText(TextoJuicio(veredicto, vacia));
    lblJuicio->setStyleSheet(
        QStringLiteral("color:%1;").arg(QLatin1String(ColorJuicio(veredicto.juicio))));
    lblJuicio->setVisible(true);
    if (veredicto.juicio != Juicio::Correcta && !vacia) {
        // What was typed and the right answer, each with what differs marked.
        lblEscrita->setText(QStringLiteral("Ha escrito: ") +
                            ConBlancos(MarcaDiferencias(escrita, veredicto.enEscrita)));
        lblEscrita->setAccessibleDescription(
            QStringLiteral("Ha escrito «%1»; difiere en %2")
                .arg(escrita, PartesDiferentes(escrita, veredicto.enEscrita)));
        lblEscrita->setVisible(true);
        lblRespuesta->setText(ConBlancos(MarcaDiferencias(Correcta(), veredicto.enCorrecta)));
        lblRespuesta->setAccessibleDescription(
            QStringLiteral("La respuesta es «%1»; difiere en %2")
                .arg(Correcta(), PartesDiferentes(Correcta(), veredicto.enCorrecta)));
    }
    Propone(veredicto.sugerida);
    paginas_->currentWidget()->setFocus();
}

void frmPracticar::MuestraCalificaciones()
{
    const qint64 ahora = Ahora();
    for (int i = 0; i < 4; ++i) {
        const auto calificacion = Calificacion(i + 1);
        const Tarjeta despues = sesion_->Prevision(*actual_, calificacion, ahora);
        // A review's due time is the start of its day: its days say the interval.
        const qint64 segundos = despues.diasProgramados > 0
                                    ? qint64(despues.diasProgramados) * 86400
                                    : qMax<qint64>(0, (despues.vence - ahora) / 1000);
        const QString nombre = QString::fromUtf8(BotonesCalificacion[i].texto);
        const QString intervalo = TextoIntervalo(segundos);
        QPushButton* boton = cmdCalificaciones[size_t(i)];
        boton->setText(QStringLiteral("%1 (%2)\n%3").arg(nombre).arg(i + 1).arg(intervalo));
        boton->setAccessibleName(QStringLiteral("%1, vuelve en %2").arg(nombre, intervalo));
        boton->setVisible(true);
    }
    Propone(Calificacion::Bien);
}

void frmPracticar::Propone(Calificacion calificacion)
{
    propuesta_ = calificacion;
    for (int i = 0; i < 4; ++i) {
        QPushButton* boton = cmdCalificaciones[size_t(i)];
        const bool elegido = i + 1 == int(calificacion);
        boton->setDefault(elegido);
        QFont letra = boton->font();
        letra.setBold(elegido);
        boton->setFont(letra);
    }
}

void frmPracticar::Responde(Calificacion calificacion)
{
    if (!actual_ || fase_ != Fase::Respuesta)
        return;
    // Saved (card and review together) before anything else is shown.
    sesion_->Responde(calificacion, Ahora(), reloj_.elapsed(), modo_);
    actual_.reset();
    MuestraSiguiente();
}

void frmPracticar::Deshace()
{
    if (!sesion_ || !sesion_->Deshace())
        return;
    MuestraSiguiente();
}

void frmPracticar::Escucha()
{
    if (!actual_ || !InglesALaVista())
        return;
    // The first press repeats it as it was said; from the second, more slowly.
    Dice(++vecesEscuchada_ >= 2);
}

void frmPracticar::Dice(bool despacio)
{
    if (habla_.conSonido && habla_.dice)
        habla_.dice(actual_->ingles, despacio);
}
