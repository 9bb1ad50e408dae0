#include "apoyo/PlataformaGuionada.h"

#include "app/modTALVEXV20.h"

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

int PlataformaGuionada::DuracionPausa(int milisegundos)
{
    pausas << milisegundos;
    if (alPausar)
        alPausar();
    return 0;
}

void PlataformaGuionada::TerminaPrograma()
{
    terminado = true;
    throw FinDelPrograma{};
}
