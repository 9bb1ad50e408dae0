#pragma once
// The desktop's own message boxes, beep, file and print dialogs and address handler.
#include "nucleo/Plataforma.h"

class PlataformaReal : public Plataforma {
public:
    RespuestaMensaje MuestraMensaje(const Mensaje& mensaje) override;
    void Pita() override;
    void AbreDireccion(const QUrl& direccion) override;
    bool DialogoImpresion(QPrinter& impresora, QWidget* dueno) override;
    void ConfiguraImpresora(QPrinter& impresora, QWidget* dueno) override;
    QString DialogoAbrirArchivo(QWidget* dueno, const QString& titulo, const QString& carpeta,
                                const QString& nombre, const QString& filtro) override;
    QString DialogoGuardarArchivo(QWidget* dueno, const QString& titulo, const QString& carpeta,
                                  const QString& nombre, const QString& filtro) override;
    [[noreturn]] void TerminaPrograma() override;
};
