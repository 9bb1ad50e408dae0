#pragma once
// Notes are stored with CR LF line ends, as the user's files always had them; the boxes that
// show and edit them work with plain line feeds.
#include <QString>

class QPlainTextEdit;

void MuestraNotas(QPlainTextEdit& caja, const QString& notas);
// The box's text exactly as it holds it (no-break spaces kept), with CR LF line ends.
QString LeeNotas(const QPlainTextEdit& caja);
