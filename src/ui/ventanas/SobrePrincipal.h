#pragma once
// Secondary windows open over the disabled main window, which takes input again however they
// close: a button, Escape, the close box or their deletion. For the user they behave as
// modal dialogs while the main window keeps painting.
#include <QWidget>
#include <functional>

// The main window registers itself when it is made; until then there is nothing to disable.
void RegistraPrincipal(QWidget* principal);
QWidget* VentanaPrincipal();

// Disables the main window, shows `ventana` and gives it the focus. When it hides or is
// deleted, the main window is enabled again and then `alCerrar` runs, once.
void AbreSobrePrincipal(QWidget& ventana, std::function<void()> alCerrar = {});
// The main window takes input again while a window stays open over it (after a failed save).
void HabilitaPrincipal();
