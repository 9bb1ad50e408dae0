#pragma once
class QTranslator;

// Loads Qt's own Spanish texts ("Sí", "No", "Aceptar", "Cancelar"…) for the standard dialogs
// and installs them. False when the translation is not on this system.
bool InstalaTraduccionEspanol(QTranslator& traductor);
