#pragma once
// The order and equality of keys (topic names, English texts): Spanish, ignoring letter
// case and keeping accents, so "house" = "HOUSE", "a" ≠ "á", "n" ≠ "ñ", "árbol" right after
// "arbol" and every ñ-word after every n-word. The result is the same on every machine,
// whatever the user's locale.
#include <QByteArray>
#include <QString>

// Bytes whose plain byte order (memcmp, then the shorter first) is the order above; two
// texts are the same key exactly when their bytes are equal. This is what the database
// stores and indexes, so any SQLite tool can walk the file in the right order.
QByteArray CalculaClaveOrden(const QString& texto);

// Names the rules and data behind CalculaClaveOrden. When it changes (another ICU), keys
// stored earlier must be computed again.
QString ObtieneVersionCotejo();

// The same order, comparing two texts directly: < 0, 0 or > 0.
int ComparaTextos(const QString& a, const QString& b);
