#pragma once
// A platform for tests: records every message box and beep, answers from a script, makes
// pauses instant and turns the end of the process into an exception the test catches.
#include "nucleo/Plataforma.h"

#include <QList>
#include <QUrl>
#include <deque>
#include <functional>

class PlataformaGuionada : public Plataforma {
public:
    PlataformaGuionada();
    ~PlataformaGuionada() override;

    RespuestaMensaje MuestraMensaje(const Mensaje& mensaje) override;
    void Pita() override { ++pitidos; }
    void AbreDireccion(const QUrl& direccion) override { direcciones << direccion; }
    // The print dialog accepts (printing to a PDF file when `pdf` is set) unless told to cancel.
    bool DialogoImpresion(QPrinter& impresora, QWidget* dueno) override;
    void ConfiguraImpresora(QPrinter&, QWidget*) override { ++configuraciones; }
    // File dialogs are recorded and answered from archivosElegidos.
    QString DialogoAbrirArchivo(QWidget* dueno, const QString& titulo, const QString& carpeta,
                                const QString& nombre, const QString& filtro) override;
    QString DialogoGuardarArchivo(QWidget* dueno, const QString& titulo, const QString& carpeta,
                                  const QString& nombre, const QString& filtro) override;
    int DuracionPausa(int milisegundos) override;
    // The clock stands at `ahora` when it is set.
    QDateTime Ahora() const override { return ahora.isValid() ? ahora : Plataforma::Ahora(); }
    QDateTime ahora;
    [[noreturn]] void TerminaPrograma() override;

    // Answers for the coming message boxes, in order. A message with no answer left fails
    // the running test.
    std::deque<RespuestaMensaje> respuestas;
    QList<Mensaje> mensajes;
    // The paths the coming file dialogs return, in order ("" = cancelled). A dialog with no
    // answer left fails the running test.
    std::deque<QString> archivosElegidos;
    struct DialogoArchivo {
        bool guardar = false; // a save-file dialog, else an open-file one
        QString titulo, carpeta, nombre, filtro;
    };
    QList<DialogoArchivo> dialogosArchivo;
    QList<int> pausas;         // asked lengths, in milliseconds
    bool pausasReales = false; // pauses last their real length instead of none
    QList<QUrl> direcciones;
    int pitidos = 0;
    int impresiones = 0;
    int configuraciones = 0;
    bool cancelaImpresion = false;
    QString pdf;
    bool terminado = false;
    // Called at the start of every pause, to look at the windows at that moment.
    std::function<void()> alPausar;
    // Called with every message box before it is answered, to look at the windows then.
    std::function<void(const Mensaje&)> alMostrarMensaje;
};
