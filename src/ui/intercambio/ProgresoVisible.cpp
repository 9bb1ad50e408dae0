#include "ui/intercambio/ProgresoVisible.h"

#include "nucleo/Titulos.h"

#include <QCoreApplication>

ProgresoVisible::ProgresoVisible(QWidget* dueno, const QString& texto)
    : dialogo_(texto, QStringLiteral("&Cancelar"), 0, 1000, dueno)
{
    dialogo_.setWindowTitle(Titulos::Mensajes);
    dialogo_.setWindowModality(Qt::WindowModal);
    dialogo_.setMinimumDuration(500);
    dialogo_.setAutoClose(false);
    dialogo_.setAutoReset(false);
    dialogo_.setValue(0);
}

Intercambio::Progreso ProgresoVisible::Funcion()
{
    return [this](qint64 hecho, qint64 total) {
        dialogo_.setValue(total > 0 ? int(hecho * 1000 / total) : 0);
        QCoreApplication::processEvents();
        return !dialogo_.wasCanceled();
    };
}
