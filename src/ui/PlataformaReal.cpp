#include "ui/PlataformaReal.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <cstdlib>

namespace {
QMessageBox::Icon IconoDe(IconoMensaje icono)
{
    switch (icono) {
    case IconoMensaje::Critico:
        return QMessageBox::Critical;
    case IconoMensaje::Pregunta:
        return QMessageBox::Question;
    case IconoMensaje::Exclamacion:
        return QMessageBox::Warning;
    case IconoMensaje::Informacion:
        return QMessageBox::Information;
    case IconoMensaje::Ninguno:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

RespuestaMensaje PlataformaReal::MuestraMensaje(const Mensaje& mensaje)
{
    // Paragraphs are separated by bare carriage returns, which a Qt label would not break.
    QString texto = mensaje.texto;
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox caja(IconoDe(mensaje.icono), mensaje.titulo, texto, QMessageBox::NoButton,
                     QApplication::activeWindow());
    if (mensaje.botones == BotonesMensaje::SiNo) {
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        caja.setDefaultButton(mensaje.porDefecto == RespuestaMensaje::Si ? QMessageBox::Yes
                                                                         : QMessageBox::No);
        caja.setEscapeButton(QMessageBox::No);
    } else {
        caja.setStandardButtons(QMessageBox::Ok);
    }
    const int boton = caja.exec();
    if (boton == QMessageBox::Yes)
        return RespuestaMensaje::Si;
    if (boton == QMessageBox::No)
        return RespuestaMensaje::No;
    return RespuestaMensaje::Aceptar;
}

void PlataformaReal::Pita()
{
    QApplication::beep();
}

void PlataformaReal::AbreDireccion(const QUrl& direccion)
{
    QDesktopServices::openUrl(direccion);
}

bool PlataformaReal::DialogoImpresion(QPrinter& impresora, QWidget* dueno)
{
    QPrintDialog dialogo(&impresora, dueno);
    return dialogo.exec() == QDialog::Accepted;
}

void PlataformaReal::ConfiguraImpresora(QPrinter& impresora, QWidget* dueno)
{
    QPageSetupDialog dialogo(&impresora, dueno);
    dialogo.exec();
}

namespace {
// Qt's own dialog rather than the desktop's, so that it speaks Spanish like the rest of the
// program; the working folder is never changed by it.
QString MuestraDialogoArchivo(QWidget* dueno, QFileDialog::AcceptMode modo, const QString& titulo,
                              const QString& carpeta, const QString& nombre, const QString& filtro)
{
    QFileDialog dialogo(dueno, titulo, carpeta, filtro);
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    dialogo.setAcceptMode(modo);
    dialogo.setFileMode(modo == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    dialogo.selectFile(nombre);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}
} // namespace

QString PlataformaReal::DialogoAbrirArchivo(QWidget* dueno, const QString& titulo,
                                            const QString& carpeta, const QString& nombre,
                                            const QString& filtro)
{
    return MuestraDialogoArchivo(dueno, QFileDialog::AcceptOpen, titulo, carpeta, nombre, filtro);
}

QString PlataformaReal::DialogoGuardarArchivo(QWidget* dueno, const QString& titulo,
                                              const QString& carpeta, const QString& nombre,
                                              const QString& filtro)
{
    return MuestraDialogoArchivo(dueno, QFileDialog::AcceptSave, titulo, carpeta, nombre, filtro);
}

void PlataformaReal::TerminaPrograma()
{
    std::_Exit(0);
}
