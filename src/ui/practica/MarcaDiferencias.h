#pragma once
// The typed answer and the right one with what differs marked: red and underlined on screen,
// and said in words for a screen reader, which reads no colours.
#include "repaso/Respuesta.h"

#include <QList>
#include <QString>

// The text as rich text (escaped), each range in red and underlined.
QString MarcaDiferencias(const QString& texto, const QList<Repaso::Tramo>& tramos);

// The marked parts in words: «c», «á» (ranges joined with commas; empty when none).
QString PartesDiferentes(const QString& texto, const QList<Repaso::Tramo>& tramos);
