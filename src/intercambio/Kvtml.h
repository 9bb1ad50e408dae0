#pragma once
// Reading KVTML 2.0, the vocabulary files of the KDE learning programs: the English and
// Spanish translations of every entry, their comments, and the lessons the entries belong to.
#include "intercambio/TiposIntercambio.h"

#include <QByteArray>
#include <vector>

namespace Intercambio {

struct DocumentoKvtml {
    // In file order; linea is the entry's number. The topic is the innermost lesson holding
    // the entry (the first one, when several do), or "Sin categoría"; the notes are the
    // English comment and the Spanish one, joined by CR LF.
    std::vector<ItemLeido> entradas;
    std::vector<QString> lecciones; // names in file order, each once
    // Entries whose English or Spanish texts use a named reference that neither XML nor HTML
    // defines, by their number.
    std::vector<Rechazo> rechazos;
};

// Refuses (ErrorTalvex(ArchivoNoValido), Spanish message giving line and column) XML that is
// not well formed, that is not KVTML 2.0, that lacks an English or a Spanish identifier, any
// document whose DTD declares entities (so none is ever expanded), and one whose language or
// lesson names use an unknown named reference.
DocumentoKvtml LeeKvtml(const QByteArray& datos);

} // namespace Intercambio
