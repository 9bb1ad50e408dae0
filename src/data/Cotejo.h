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

// The primary order alone (letters, without accents or letter case), as the bytes of its
// key. Along the list, which is in the order above, primary keys never decrease, and the
// primary key of a text begins with the primary key of each of its beginnings, unless the
// character right after that beginning joins the one before it (see SeUneAlAnterior).
QByteArray CalculaClavePrimaria(const QString& texto);

// True for a character that can change how the character before it sorts: a combining mark
// (the tilde of a decomposed ñ, an accent typed apart) or the second letter of one of the
// order's contractions.
bool SeUneAlAnterior(char32_t letra);
// Whether any character of the text is such a character.
bool TieneUniones(QStringView texto);
// The same for a text in UTF-8, as the store keeps it, without making it a QString.
bool TieneUniones(QByteArrayView utf8);
