#pragma once
// Pictures drawn sharp on scaled screens: QIcon picks the twice-as-large "name@2x.png"
// beside "name.png" when the screen has more than one pixel per point, which a plain
// QPixmap loaded from the file does not.
#include <QString>

class QLabel;

// Shows the picture in the label at the label's size, in the screen's own pixels.
void PonImagenNitida(QLabel& etiqueta, const QString& recurso);
