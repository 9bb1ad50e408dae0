#include "ui/editors/frmItems.h"
#include "ui/Pronunciacion.h"
#include "ui_frmItems.h"

#include "nucleo/Fallos.h"
#include "ui/LimiteCaracteres.h"
#include "ui/Notas.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QAction>
#include <QApplication>
#include <QSignalBlocker>
#include <QStyle>
#include <tuple>

#include <algorithm>

namespace {
// The item editor's messages carry no full stop after "Ver".
const QString TituloItems = QStringLiteral("TALVEX Ver 2.0");

// Accept's trap: the error message, then the main window is usable again while the editor
// stays open with what the user typed.
void ReportaFalloAceptar(const ErrorTalvex& error)
{
    ReportaError(error, TituloItems);
    HabilitaPrincipal();
}

// "Sin categoría" and then every topic in name order, with no entry chosen yet.
void LlenaCategorias(QComboBox& lista, const BaseVocabulario& base)
{
    // Adding to an empty list would choose its first entry; choices start after the fill.
    const QSignalBlocker silencio(lista);
    lista.clear();
    lista.addItem(SinCategoria);
    OmiteFallo(
        [&] { base.RecorreTemas([&](const Tema& tema) { lista.addItem(tema.NOMBRETEMA); }); });
    lista.setCurrentIndex(-1);
}

// The labels reach under their boxes, drawn for a narrow system font; with a wider one the
// captions are made smaller, all alike, until each shows whole before its box.
void AjustaEtiquetas(const QList<std::pair<QLabel*, QWidget*>>& pares, const QList<QLabel*>& todas)
{
    QFont letra = todas.front()->font();
    const auto cabe = [&](const std::pair<QLabel*, QWidget*>& par) {
        const QString texto = QString(par.first->text()).remove(QLatin1Char('&'));
        return QFontMetrics(letra).horizontalAdvance(texto) <= par.second->x() - par.first->x() - 2;
    };
    while (!std::all_of(pares.begin(), pares.end(), cabe) && letra.pointSizeF() > 6)
        letra.setPointSizeF(letra.pointSizeF() - 0.25);
    for (QLabel* etiqueta : todas)
        etiqueta->setFont(letra);
}
} // namespace

void MuestraTexto(QLineEdit& caja, const QString& texto)
{
    // The length limit is for typing; setText would cut a longer stored text, and saving
    // would then rename the item.
    if (auto* limite = caja.findChild<LimiteCaracteres*>(QString(), Qt::FindDirectChildrenOnly);
        limite && CuentaCaracteres(texto) > limite->Limite())
        limite->CambiaLimite(int(CuentaCaracteres(texto)));
    caja.setText(texto);
}

frmItems::frmItems(bool nuevo, const QString& editado, const BaseVocabulario& base,
                   Plataforma& sistema, Guarda guarda, Pronunciacion* voz)
    : QWidget(nullptr, Qt::Dialog), ItemNuevo(nuevo), ItemEditado(editado), base_(base),
      sistema_(sistema), guarda_(std::move(guarda)), ui_(std::make_unique<Ui::frmItems>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // the next opening starts from an empty window
    setFixedSize(size());
    QPalette marino = ui_->lblItemIng->palette();
    marino.setColor(QPalette::WindowText, QColor(0, 0, 128));
    const QList<QLabel*> etiquetas{ui_->lblItemIng, ui_->lblItemEsp, ui_->lblCategoriaItem,
                                   ui_->lblNotasItem};
    for (QLabel* etiqueta : etiquetas)
        etiqueta->setPalette(marino);
    AjustaEtiquetas({{ui_->lblItemIng, ui_->txtItemIng},
                     {ui_->lblItemEsp, ui_->txtItemEsp},
                     {ui_->lblCategoriaItem, ui_->txtCategoriaItem}},
                    etiquetas);

    for (QLineEdit* caja : {ui_->txtItemIng, ui_->txtItemEsp, ui_->txtCategoriaItem})
        LimitaCaracteres(*caja, LargoMaximoTexto, LimiteCaracteres::Exceso::Recorta);

    auto* teclas = new TeclasDialogo(*this);
    const struct {
        QWidget* desde;
        int tecla;
        QWidget* hacia;
    } saltos[] = {
        {ui_->txtItemIng, Qt::Key_Return, ui_->txtItemEsp},
        {ui_->txtItemEsp, Qt::Key_Return, ui_->txtCategoriaItem},
        {ui_->txtCategoriaItem, Qt::Key_Return, ui_->txtMemoItem},
        {ui_->txtItemIng, Qt::Key_Up, ui_->cmdCancelarItem},
        {ui_->txtItemIng, Qt::Key_Down, ui_->txtItemEsp},
        {ui_->txtItemEsp, Qt::Key_Up, ui_->txtItemIng},
        {ui_->txtItemEsp, Qt::Key_Down, ui_->txtCategoriaItem},
        {ui_->txtCategoriaItem, Qt::Key_Up, ui_->txtItemEsp},
        {ui_->txtCategoriaItem, Qt::Key_Down, ui_->txtMemoItem},
    };
    for (const auto& salto : saltos)
        teclas->Mueve(salto.desde, salto.tecla, salto.hacia);

    connect(ui_->cmdAceptarItem, &QPushButton::clicked, this, &frmItems::cmdAceptarItem_Click);
    connect(ui_->cmdCancelarItem, &QPushButton::clicked, this, &frmItems::cmdCancelarItem_Click);
    connect(ui_->cboCategoriaItem, &QComboBox::currentIndexChanged, this,
            &frmItems::cboCategoriaItem_Click);
    // Picking the entry that is already chosen puts it in the box as well.
    connect(ui_->cboCategoriaItem, &QComboBox::activated, this, &frmItems::cboCategoriaItem_Click);
    if (voz)
        CreaVoz(*voz);
    CentraEnPantalla(*this);
    MuestraEditorItem();
    ui_->txtItemIng->setFocus(); // the focus starts in the English box
}

void frmItems::CreaVoz(Pronunciacion& voz)
{
    // The speakers live inside the boxes' right ends, so that no control moves.
    const QIcon altavoz = QApplication::style()->standardIcon(QStyle::SP_MediaVolume);
    for (const auto& [caja, nombre, ayuda, espanol] :
         {std::tuple{ui_->txtItemIng, "actEscucharIngles", " Escuchar la pronunciación ", false},
          std::tuple{ui_->txtItemEsp, "actEscucharEspanol", " Escuchar en español ", true}}) {
        QAction* escuchar = caja->addAction(altavoz, QLineEdit::TrailingPosition);
        escuchar->setObjectName(QString::fromLatin1(nombre));
        escuchar->setToolTip(QString::fromUtf8(ayuda));
        voz.Registra(escuchar);
        QLineEdit* texto = caja;
        const bool enEspanol = espanol;
        connect(escuchar, &QAction::triggered, this, [&voz, texto, enEspanol] {
            AtiendeEvento([&] { voz.Escucha(texto->text(), enEspanol); });
        });
    }
    // The IPA of the English text, on the line of the notes' label, in the boxes' column.
    auto* fonetica = new QLabel(this);
    fonetica->setObjectName(QStringLiteral("lblFonetica"));
    fonetica->setGeometry(130, 120, 261, 22);
    fonetica->setAlignment(Qt::AlignRight | Qt::AlignTop);
    fonetica->setTextFormat(Qt::PlainText);
    fonetica->setToolTip(QStringLiteral(" Pronunciación (alfabeto fonético internacional) "));
    QPalette gris = fonetica->palette();
    gris.setColor(QPalette::WindowText, QColor(64, 64, 128));
    fonetica->setPalette(gris);
    connect(ui_->txtItemIng, &QLineEdit::textChanged, fonetica,
            [&voz, fonetica](const QString& ingles) {
                const QString ipa = voz.Fonetica(ingles);
                fonetica->setText(ipa.isEmpty() ? QString() : QStringLiteral("/%1/").arg(ipa));
            });
}

frmItems::~frmItems() = default;

void frmItems::MuestraEditorItem()
{
    EditorItemListo = false;
    LlenaCategorias(*ui_->cboCategoriaItem, base_);
    if (ItemNuevo) {
        ItemEditado.clear();
        setWindowTitle(QStringLiteral("Item nuevo"));
        // With no topic, nothing is chosen and the box stays empty.
        if (ui_->cboCategoriaItem->count() > 1) {
            ui_->cboCategoriaItem->setCurrentIndex(0);
            MuestraTexto(*ui_->txtCategoriaItem, ui_->cboCategoriaItem->currentText());
        }
    } else {
        setWindowTitle(QStringLiteral("Editar item"));
        MuestraItemEditado();
    }
    EditorItemListo = true;
}

// Fills the boxes with the edited item, when the store has it.
void frmItems::MuestraItemEditado()
{
    OmiteFallo([&] {
        const auto item = base_.LocalizaItem(ItemEditado);
        if (!item)
            return;
        MuestraTexto(*ui_->txtItemIng, item->ITEMING);
        MuestraTexto(*ui_->txtItemEsp, item->ITEMESP);
        MuestraTexto(*ui_->txtCategoriaItem, item->NOMBRETEMA);
        // The entry equal letter for letter, case included; with none, the last entry is
        // chosen and the box keeps the item's own topic.
        const int entrada = ui_->cboCategoriaItem->findText(
            item->NOMBRETEMA, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ui_->cboCategoriaItem->setCurrentIndex(entrada >= 0 ? entrada
                                                            : ui_->cboCategoriaItem->count() - 1);
        MuestraNotas(*ui_->txtMemoItem, item->NOTASITEM);
    });
}

void frmItems::cboCategoriaItem_Click()
{
    if (ui_->cboCategoriaItem->currentIndex() < 0)
        return;
    const QString entrada = ui_->cboCategoriaItem->currentText();
    const QString consejo = QLatin1Char(' ') + entrada + QLatin1Char(' ');
    ui_->txtCategoriaItem->setToolTip(consejo);
    ui_->cboCategoriaItem->setToolTip(consejo);
    // While the window is being filled, the box keeps the topic the item already has.
    if (EditorItemListo)
        MuestraTexto(*ui_->txtCategoriaItem, entrada);
}

void frmItems::cmdAceptarItem_Click()
{
    try {
        const QString ingles = ui_->txtItemIng->text();
        if (ingles.isEmpty()) {
            RechazaItemIng(QStringLiteral("¡¡ Por favor, ingrese el nombre del item !!"));
            return;
        }
        if (ItemNuevo && base_.LocalizaItem(ingles)) {
            RechazaItemIng(QStringLiteral("¡¡ Ya existe un item con el nombre de: ") + ingles +
                           QStringLiteral(" !!"));
            return;
        }
        // An edit onto another item's English text is refused by the store's unique key,
        // which reaches the user as the error message below with nothing written.
        guarda_({ingles, ui_->txtItemEsp->text(), ui_->txtCategoriaItem->text(),
                 LeeNotas(*ui_->txtMemoItem)},
                ItemEditado, ItemNuevo);
        close();
    } catch (const ErrorTalvex& error) {
        ReportaFalloAceptar(error);
    } catch (const std::exception& error) {
        ReportaFalloAceptar(
            ErrorTalvex(NumeroError::ErrorBaseDatos, QString::fromLocal8Bit(error.what())));
    }
}

void frmItems::RechazaItemIng(const QString& texto)
{
    sistema_.Pita();
    sistema_.MuestraMensaje({texto, TituloItems, IconoMensaje::Exclamacion});
    ui_->txtItemIng->setFocus();
    ui_->txtItemIng->selectAll();
}

void frmItems::cmdCancelarItem_Click()
{
    close();
}
