#pragma once
// What the program asks of the desktop it runs on: message boxes, the beep, file and print
// dialogs, opening an address, the length of a pause and the end of the process. main.cpp
// installs the real one; tests install a scripted one.
#include <QDateTime>
#include <QString>
#include <QUrl>

class QPrinter;
class QWidget;

enum class IconoMensaje { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
enum class BotonesMensaje { Aceptar, SiNo };
enum class RespuestaMensaje { Aceptar, Si, No };

struct Mensaje {
    QString texto; // carriage returns (character 13) separate paragraphs
    QString titulo;
    IconoMensaje icono = IconoMensaje::Ninguno;
    BotonesMensaje botones = BotonesMensaje::Aceptar;
    RespuestaMensaje porDefecto = RespuestaMensaje::Aceptar;
};

// What a stand-in for the end of the process throws instead of ending it (the tests' seam);
// the real one never returns. Event handlers let it end their work and nothing else.
struct FinDelPrograma {};

class Plataforma {
public:
    virtual ~Plataforma() = default;
    virtual RespuestaMensaje MuestraMensaje(const Mensaje& mensaje) = 0;
    virtual void Pita() = 0;
    virtual void AbreDireccion(const QUrl& direccion) = 0;
    // The print dialog; false when the user cancels it.
    virtual bool DialogoImpresion(QPrinter& impresora, QWidget* dueno) = 0;
    // The printer set-up (page) dialog.
    virtual void ConfiguraImpresora(QPrinter& impresora, QWidget* dueno) = 0;
    // The open-file and save-file dialogs, starting in `carpeta` with the file name `nombre`
    // and the filter `filtro` ("Descripción (*.EXT)"). They return the chosen path, or an
    // empty text when the user cancels. Neither changes the working folder nor asks before
    // replacing a file; the open dialog accepts only an existing file.
    virtual QString DialogoAbrirArchivo(QWidget* dueno, const QString& titulo,
                                        const QString& carpeta, const QString& nombre,
                                        const QString& filtro) = 0;
    virtual QString DialogoGuardarArchivo(QWidget* dueno, const QString& titulo,
                                          const QString& carpeta, const QString& nombre,
                                          const QString& filtro) = 0;
    // The date and time that name the automatic copies.
    virtual QDateTime Ahora() const { return QDateTime::currentDateTime(); }
    // Milliseconds a pause of `milisegundos` really lasts.
    virtual int DuracionPausa(int milisegundos) { return milisegundos; }
    // Ends the process at once; no window's close handling runs afterwards.
    [[noreturn]] virtual void TerminaPrograma() = 0;
};
