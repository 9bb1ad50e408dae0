#include "apoyo/PlataformaGuionada.h"

#include "nucleo/modTALVEXV20.h"

#include <QPrinter>
#include <QTest>

PlataformaGuionada::PlataformaGuionada()
{
    modTALVEXV20().plataforma = this;
}

PlataformaGuionada::~PlataformaGuionada()
{
    if (modTALVEXV20().plataforma == this)
        modTALVEXV20().plataforma = nullptr;
}

RespuestaMensaje PlataformaGuionada::MuestraMensaje(const Mensaje& mensaje)
{
    mensajes << mensaje;
    if (alMostrarMensaje)
        alMostrarMensaje(mensaje);
    if (respuestas.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("mensaje inesperado: ") + mensaje.texto), __FILE__,
                     __LINE__);
        return mensaje.porDefecto;
    }
    const RespuestaMensaje respuesta = respuestas.front();
    respuestas.pop_front();
    return respuesta;
}

bool PlataformaGuionada::DialogoImpresion(QPrinter& impresora, QWidget*)
{
    ++impresiones;
    if (cancelaImpresion)
        return false;
    if (!pdf.isEmpty()) {
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(pdf);
    }
    return true;
}

namespace {
QString EligeArchivo(PlataformaGuionada& p, bool guardar, const QString& titulo,
                     const QString& carpeta, const QString& nombre, const QString& filtro)
{
    p.dialogosArchivo << PlataformaGuionada::DialogoArchivo{guardar, titulo, carpeta, nombre,
                                                            filtro};
    if (p.archivosElegidos.empty()) {
        QTest::qFail("diálogo de archivo inesperado", __FILE__, __LINE__);
        return {};
    }
    const QString elegido = p.archivosElegidos.front();
    p.archivosElegidos.pop_front();
    return elegido;
}
} // namespace

QString PlataformaGuionada::DialogoAbrirArchivo(QWidget*, const QString& titulo,
                                                const QString& carpeta, const QString& nombre,
                                                const QString& filtro)
{
    return EligeArchivo(*this, false, titulo, carpeta, nombre, filtro);
}

QString PlataformaGuionada::DialogoGuardarArchivo(QWidget*, const QString& titulo,
                                                  const QString& carpeta, const QString& nombre,
                                                  const QString& filtro)
{
    return EligeArchivo(*this, true, titulo, carpeta, nombre, filtro);
}

int PlataformaGuionada::DuracionPausa(int milisegundos)
{
    pausas << milisegundos;
    if (alPausar)
        alPausar();
    return pausasReales ? milisegundos : 0;
}

void PlataformaGuionada::TerminaPrograma()
{
    terminado = true;
    throw FinDelPrograma{};
}
