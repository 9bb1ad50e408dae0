#pragma once
// The platform of a benchmark: no dialogs, no pauses; a message box is unexpected and said.
#include "nucleo/Plataforma.h"

#include <cstdio>
#include <cstdlib>

class PlataformaMedida : public Plataforma {
public:
    RespuestaMensaje MuestraMensaje(const Mensaje& m) override
    {
        if (!mensajesEsperados)
            std::fprintf(stderr, "mensaje inesperado: %s\n", qPrintable(m.texto));
        return m.porDefecto;
    }
    bool mensajesEsperados = false;
    void Pita() override {}
    void AbreDireccion(const QUrl&) override {}
    bool DialogoImpresion(QPrinter&, QWidget*) override { return false; }
    void ConfiguraImpresora(QPrinter&, QWidget*) override {}
    QString DialogoAbrirArchivo(QWidget*, const QString&, const QString&, const QString&,
                                const QString&) override
    {
        return {};
    }
    QString DialogoGuardarArchivo(QWidget*, const QString&, const QString&, const QString&,
                                  const QString&) override
    {
        return {};
    }
    int DuracionPausa(int) override { return 0; }
    [[noreturn]] void TerminaPrograma() override { std::exit(1); }
};
