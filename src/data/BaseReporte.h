#pragma once
// The report scratch database "TalvexReport.mdb": the table INFORME1 from which the notes are
// printed. Open only while a report is being prepared.
#include <QString>
#include <memory>

class BaseReporte {
public:
    BaseReporte();
    ~BaseReporte();
    // Opens an existing file for reading and writing; never creates one (ErrorTalvex 53).
    void Abre(const QString& ruta);
    void Cierra();
    bool EstaAbierta() const;

private:
    struct Datos;
    std::unique_ptr<Datos> d;
};
