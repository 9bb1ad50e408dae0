// Pronunciation in the main window: the speaker beside the heading of a shown item (and F5),
// its IPA in the heading's tooltip, and the accent chosen in the "Opciones" menu.
#include "nucleo/Fallos.h"
#include "ui/Pronunciacion.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui_frmMenuPrincipal.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QToolButton>

namespace {
// Shows the English text's IPA when the pointer rests on the heading; worked out only then,
// so that moving through the list costs nothing.
class AyudaFonetica : public QObject {
public:
    AyudaFonetica(QLabel& encabezado, const Pronunciacion& voz, const QString& ingles)
        : QObject(&encabezado), encabezado_(encabezado), voz_(voz), ingles_(ingles)
    {
        encabezado.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* evento) override
    {
        if (evento->type() == QEvent::ToolTip) {
            const QString fonetica = ingles_.isEmpty() ? QString() : voz_.Fonetica(ingles_);
            encabezado_.setToolTip(fonetica.isEmpty() ? QString()
                                                      : QStringLiteral("/%1/").arg(fonetica));
        }
        return false;
    }

private:
    QLabel& encabezado_;
    const Pronunciacion& voz_;
    const QString& ingles_;
};
} // namespace

void frmMenuPrincipal::CreaVoz()
{
    Voz = new Pronunciacion(this);
    QLabel* encabezado = ui_->lblNotas;
    // The speaker sits over the heading's right end; equal margins keep the text centred.
    auto* boton = new QToolButton(encabezado->parentWidget());
    altavoz_ = boton;
    boton->setObjectName(QStringLiteral("cmdEscuchar"));
    const QRect lugar = encabezado->geometry();
    boton->setGeometry(lugar.right() - 20, lugar.top() - 1, 21, 21);
    boton->setAutoRaise(true);
    boton->setFocusPolicy(Qt::NoFocus); // the keyboard has F5; the tab order stays as it is
    encabezado->setContentsMargins(23, 0, 23, 0);
    auto* escuchar = new QAction(QApplication::style()->standardIcon(QStyle::SP_MediaVolume),
                                 QStringLiteral("Escuchar la pronunciación"), this);
    escuchar->setObjectName(QStringLiteral("actEscuchar"));
    escuchar->setToolTip(QStringLiteral(" Escuchar la pronunciación "));
    escuchar->setShortcut(Qt::Key_F5);
    escuchar->setShortcutContext(Qt::WindowShortcut);
    addAction(escuchar);
    boton->setDefaultAction(escuchar);
    Voz->Registra(escuchar);
    connect(escuchar, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { Voz->Escucha(inglesMostrado_); }); });
    new AyudaFonetica(*encabezado, *Voz, inglesMostrado_);
    MuestraVoz({});

    connect(ui_->mnuBritanica, &QAction::triggered, this, [this](bool britanica) {
        AtiendeEvento([&] { Voz->CambiaBritanica(britanica); });
        ui_->mnuBritanica->setChecked(Voz->Britanica());
    });
    connect(ui_->mnuOpciones, &QMenu::aboutToShow, this,
            [this] { ui_->mnuBritanica->setChecked(Voz->Britanica()); });
}

void frmMenuPrincipal::MuestraVoz(const QString& ingles)
{
    inglesMostrado_ = ingles;
    ui_->lblNotas->setToolTip({});
    altavoz_->setVisible(!ingles.isEmpty());
}
