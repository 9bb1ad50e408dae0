#pragma once
// The two ways the program handles a failing step.
#include "data/ErrorTalvex.h"
#include "nucleo/Plataforma.h"
#include "nucleo/Titulos.h"

#include <QString>

// Skip and go on: fills, refreshes and clean-up steps ignore their own failures.
template <class F> void OmiteFallo(F&& paso)
{
    try {
        paso();
    } catch (const ErrorTalvex&) {
    } catch (const std::exception&) {
    }
}

// An event handler with no trap of its own: a failure shows the error message and the
// program keeps running (an exception must never leave a window event).
template <class F> void AtiendeEvento(F&& manejador);

// "¡¡ Error N: descripción !!", the text every error report shows.
QString TextoError(int numero, const QString& descripcion);

// Trap and report: beep and "¡¡ Error N: descripción !!" with the stop icon and the given title.
void ReportaError(const ErrorTalvex& error, const QString& titulo);

template <class F> void AtiendeEvento(F&& manejador)
{
    try {
        manejador();
    } catch (const FinDelPrograma&) {
        // The program has ended: nothing of the handler is left to run.
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulos::Mensajes);
    } catch (const std::exception& error) {
        ReportaError(ErrorTalvex(NumeroError::ErrorBaseDatos, QString::fromLocal8Bit(error.what())),
                     Titulos::Mensajes);
    }
}
