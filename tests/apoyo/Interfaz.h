#pragma once
// Driving the program as a user would, for tests.
#include "apoyo/EntornoPrueba.h"
#include "data/BaseReporte.h"
#include "data/BaseVocabulario.h"

#include <QList>
#include <QString>

class QAction;
class QWidget;
class frmMenuPrincipal;

frmMenuPrincipal& Principal();
// Selects a topic in the tree, or an item in the index, and shows it, as a click would.
void EligeTema(const QString& nombre);
void EligeItem(const QString& ingles);

// Starts the program (Main) on a database holding these topics and items.
void Arranca(EntornoPrueba& entorno, const QList<Tema>& temas, const QList<Item>& items);

// Starts the program again on the database its last run left, as a new process would.
void ArrancaOtraVez(EntornoPrueba& entorno);

// Types the text key by key, accents and emoji included (QTest::keyClicks knows only ASCII).
void Teclea(QWidget* control, const QString& texto);

// Makes every later write to the open vocabulary database fail, leaving the file as it is.
void ImpideEscrituras();

// Replaces the rows of the report table in the file at `ruta`.
void EscribeInforme(const QString& ruta, const std::vector<FilaInforme>& filas);

// The texts of menu entries or toolbar actions, "-" for a separator.
QStringList TextosDeAcciones(const QList<QAction*>& acciones);

// Presses Tab (or Shift+Tab) on whatever holds the focus until it comes back to `inicio`:
// the names of the controls visited, `inicio` first. A trap ends the walk after 40 presses.
QStringList VueltaConTab(QWidget* inicio, bool atras = false);
// Every control of the window that Tab can reach passes the focus on when Tab is pressed in it.
void CompruebaQueTabNoSeQueda(QWidget& ventana);
