#pragma once
// The two ways the program handles a failing step.
#include "data/ErrorTalvex.h"

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

// Trap and report: beep and "¡¡ Error N: descripción !!" with the stop icon and the given title.
void ReportaError(const ErrorTalvex& error, const QString& titulo);
