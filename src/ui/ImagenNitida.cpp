#include "ui/ImagenNitida.h"

#include <QIcon>
#include <QLabel>

void PonImagenNitida(QLabel& etiqueta, const QString& recurso)
{
    etiqueta.setPixmap(QIcon(recurso).pixmap(etiqueta.size(), etiqueta.devicePixelRatioF()));
}
