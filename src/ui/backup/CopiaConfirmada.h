#pragma once
// The end of a backup or a restore once its two paths are checked, shared by the backup
// dialog and the automatic copies window: the source is checked, the user asked, the database
// copied, both closing messages said and the program ended, since the copy takes effect at
// the next start only.
#include <QString>
#include <functional>

class QWidget;

// What the window of the copy does while it runs.
struct ControlesCopia {
    std::function<void()> desactiva; // everything disabled, "Copiando, por favor espere..." shown
    std::function<void()> activa;    // back to usable, the label hidden
    QWidget* etiqueta = nullptr;     // the label, painted before the copy holds the event loop
};

enum class CopiaSinHacer {
    OrigenNoValido, // the source is no vocabulary database: said, nothing asked
    NoCopiada,      // the user said no, or the copy failed (said); the window is usable again
};

// Copies `origen` over `destino` (restoring through the open connection when `destino` is
// the working database). Returns only when nothing was copied.
CopiaSinHacer CopiaYTermina(const QString& origen, const QString& destino, bool respaldo,
                            const ControlesCopia& controles);

// The message of a failed copy, chosen by its number ("¡¡ Permiso denegado !!"…); a drive
// named in it is the one `destino` lies on.
void ReportaFalloCopia(int numero, const QString& descripcion, const QString& destino);
