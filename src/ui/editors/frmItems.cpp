#include "ui/editors/frmItems.h"

#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/Centrado.h"
#include "ui/LimiteCaracteres.h"
#include "ui/editors/TeclasDialogo.h"
#include "ui/main/Listados.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QCloseEvent>

#include <algorithm>

namespace {
// The item editor's messages carry no full stop after "Ver".
const QString TituloItems = QStringLiteral("TALVEX Ver 2.0");

// Accept's trap: the error message, then the main window is usable again while the editor
// stays open with what the user typed.
void ReportaFalloAceptar(const ErrorTalvex& error)
{
    ReportaError(error, TituloItems);
    Ventana<frmMenuPrincipal>().setEnabled(true);
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

frmItems::frmItems() : QWidget(nullptr, Qt::Dialog)
{
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // the next opening starts from an empty window
    setFixedSize(size());
    QPalette marino = lblItemIng->palette();
    marino.setColor(QPalette::WindowText, QColor(0, 0, 128));
    const QList<QLabel*> etiquetas{lblItemIng, lblItemEsp, lblCategoriaItem, lblNotasItem};
    for (QLabel* etiqueta : etiquetas)
        etiqueta->setPalette(marino);
    AjustaEtiquetas(
        {{lblItemIng, txtItemIng}, {lblItemEsp, txtItemEsp}, {lblCategoriaItem, txtCategoriaItem}},
        etiquetas);

    for (QLineEdit* caja : {txtItemIng, txtItemEsp, txtCategoriaItem})
        LimitaCaracteres(*caja, 100, LimiteCaracteres::Exceso::Recorta);

    auto* teclas = new TeclasDialogo(*this);
    const struct {
        QWidget* desde;
        int tecla;
        QWidget* hacia;
    } saltos[] = {
        {txtItemIng, Qt::Key_Return, txtItemEsp},
        {txtItemEsp, Qt::Key_Return, txtCategoriaItem},
        {txtCategoriaItem, Qt::Key_Return, txtMemoItem},
        {txtItemIng, Qt::Key_Up, cmdCancelarItem},
        {txtItemIng, Qt::Key_Down, txtItemEsp},
        {txtItemEsp, Qt::Key_Up, txtItemIng},
        {txtItemEsp, Qt::Key_Down, txtCategoriaItem},
        {txtCategoriaItem, Qt::Key_Up, txtItemEsp},
        {txtCategoriaItem, Qt::Key_Down, txtMemoItem},
    };
    for (const auto& salto : saltos)
        teclas->Mueve(salto.desde, salto.tecla, salto.hacia);

    connect(cmdAceptarItem, &QPushButton::clicked, this, &frmItems::cmdAceptarItem_Click);
    connect(cmdCancelarItem, &QPushButton::clicked, this, &frmItems::cmdCancelarItem_Click);
    connect(cboCategoriaItem, &QComboBox::currentIndexChanged, this,
            &frmItems::cboCategoriaItem_Click);
    // Picking the entry that is already chosen puts it in the box as well.
    connect(cboCategoriaItem, &QComboBox::activated, this, &frmItems::cboCategoriaItem_Click);
    CentraEnPantalla(*this);
}

void frmItems::cboCategoriaItem_Click()
{
    if (cboCategoriaItem->currentIndex() < 0)
        return;
    const QString entrada = cboCategoriaItem->currentText();
    const QString consejo = QLatin1Char(' ') + entrada + QLatin1Char(' ');
    txtCategoriaItem->setToolTip(consejo);
    cboCategoriaItem->setToolTip(consejo);
    // While the window is being filled, the box keeps the topic the item already has.
    if (modTALVEXV20().EditorItemListo)
        MuestraTexto(*txtCategoriaItem, entrada);
}

void frmItems::cmdAceptarItem_Click()
{
    try {
        const QString ingles = txtItemIng->text();
        if (ingles.isEmpty()) {
            RechazaItemIng(QStringLiteral("¡¡ Por favor, ingrese el nombre del item !!"));
            return;
        }
        if (modTALVEXV20().ItemNuevo && modTALVEXV20().dbPrincipal.LocalizaItem(ingles)) {
            RechazaItemIng(QStringLiteral("¡¡ Ya existe un item con el nombre de: ") + ingles +
                           QStringLiteral(" !!"));
            return;
        }
        // An edit onto another item's English text is refused by the store's unique key,
        // which reaches the user as the error message below with nothing written.
        ActualizaTabla2Items();
        ActualizaListaItems();
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
    Sistema().Pita();
    MuestraMensaje({texto, TituloItems, IconoMensaje::Exclamacion});
    txtItemIng->setFocus();
    txtItemIng->selectAll();
}

void frmItems::ActualizaTabla2Items()
{
    EstadoAplicacion& estado = modTALVEXV20();
    const Item item{txtItemIng->text(), txtItemEsp->text(), txtCategoriaItem->text(),
                    frmMenuPrincipal::LeeNotas(*txtMemoItem)};
    // One store call each: the row is written whole or not at all.
    if (estado.ItemNuevo)
        estado.dbPrincipal.AgregaItem(item);
    else
        estado.dbPrincipal.ModificaItem(estado.ItemEditado, item);
}

void frmItems::ActualizaListaItems()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    QTreeView& lista = *principal.lvwItems;
    const FilaLista guardada{txtItemIng->text(), txtItemEsp->text()};
    int fila = -1;
    if (modTALVEXV20().ItemNuevo) {
        const bool estabaVacia = principal.ModeloItems->rowCount() == 0;
        fila = principal.ModeloItems->InsertaFila(guardada);
        // The first row of a list that was empty is its selected row.
        if (estabaVacia)
            frmMenuPrincipal::SeleccionaFila(lista, 0, false);
    } else if (const int editada = principal.ModeloItems->BuscaFila(modTALVEXV20().ItemEditado);
               editada >= 0) {
        // The row opened for editing, found by its text: after a failed save the main window
        // is usable again and its selection may have moved.
        fila = principal.ModeloItems->ReemplazaFila(editada, guardada);
    }
    CreaIndiceItems();
    principal.setEnabled(true);
    // The rows keep key order, so the saved row is the first that begins with its text.
    lista.setFocus();
    frmMenuPrincipal::SeleccionaFila(lista, fila, true);
    principal.ActivaItems();
    principal.MuestraVistaItem();
}

void frmItems::cmdCancelarItem_Click()
{
    close();
}

void frmItems::closeEvent(QCloseEvent* evento)
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    principal.setEnabled(true);
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.lvwItems);
    principal.txtBuscaItem->setText(fila < 0 ? QString()
                                             : principal.ModeloItems->Filas()[size_t(fila)].ingles);
    principal.activateWindow();
    evento->accept();
}
