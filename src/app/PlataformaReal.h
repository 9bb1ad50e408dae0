#pragma once
// The desktop's own message boxes, beep and address handler.
#include "app/Plataforma.h"

class PlataformaReal : public Plataforma {
public:
    RespuestaMensaje MuestraMensaje(const Mensaje& mensaje) override;
    void Pita() override;
    void AbreDireccion(const QUrl& direccion) override;
    bool DialogoImpresion(QPrinter& impresora, QWidget* dueno) override;
    void ConfiguraImpresora(QPrinter& impresora, QWidget* dueno) override;
    [[noreturn]] void TerminaPrograma() override;
};
