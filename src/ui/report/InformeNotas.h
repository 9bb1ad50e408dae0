#pragma once
// The notes report: the rows of INFORME1 laid out as a paged document, with the product,
// the title and the date at the head of every page and "Página n de m" at its foot.
#include "data/BaseReporte.h"

#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QTextDocument;

// The parts of a printed page, in the printer's device pixels and in the coordinates a
// painter on that printer uses (origin at the printable area's top-left corner).
struct GeometriaPagina {
    QRectF cabecera; // product, title and date
    QRectF cuerpo;   // one page of the document
    QRectF pie;      // "Página n de m"
};

class InformeNotas {
public:
    // Reads INFORME1 of that file; a missing or unreadable file gives an empty report.
    explicit InformeNotas(const QString& rutaReporte);
    ~InformeNotas();
    InformeNotas(const InformeNotas&) = delete;
    InformeNotas& operator=(const InformeNotas&) = delete;

    void CambiaTitulo(const QString& titulo);
    QString Titulo() const;
    // Reads the table again.
    void Recarga();

    // Paints every page on the printer (the print dialog, if any, was shown before).
    void Imprime(QPrinter& impresora);
    int CuentaPaginas(QPrinter& impresora);
    // The report's text, one line per line of the document (the picture left out).
    QString TextoCompleto() const;

    // Lays the document out for this printer's page and says where each page starts in it
    // (device pixels): page n shows the document from its start to the next page's, and
    // begins at the top of the first line that the page before could not hold whole.
    const std::vector<double>& Compone(QPrinter& impresora);
    // Paints page n (from 0) of the last composition, head and foot included.
    void PintaPagina(QPainter& pintor, int n) const;
    // The document as last laid out; its layout is valid while that printer lives.
    const QTextDocument& Documento() const { return *documento_; }
    static GeometriaPagina MidePagina(const QPrinter& impresora);

private:
    void ConstruyeDocumento(const std::vector<FilaInforme>& filas);
    void PintaMarco(QPainter& pintor, const GeometriaPagina& pagina, int numero, int total) const;

    QString ruta_;
    QString titulo_;
    std::unique_ptr<QTextDocument> documento_;
    GeometriaPagina pagina_;           // of the last composition
    std::vector<double> inicios_{0.0}; // where its pages start
};

// The report instance of the application state, made from RutaReporte when there is none
// (the preparation of a new report drops the previous one).
InformeNotas& dsrImprimirNotas();
