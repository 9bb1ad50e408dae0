#pragma once
// The report scratch database "TalvexReport.mdb": the table INFORME1 from which the notes are
// printed. Open only while a report is being prepared.
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One row of INFORME1. A field the preparation does not set stays without value.
struct FilaInforme {
    std::optional<QString> CAMPO1;
    std::optional<QString> CAMPO2;
    std::optional<QString> CAMPO3;
    bool operator==(const FilaInforme&) const = default;
};

class BaseReporte {
public:
    BaseReporte();
    ~BaseReporte();
    // Opens an existing file for reading and writing; never creates one (ErrorTalvex 53).
    void Abre(const QString& ruta);
    void Cierra();
    bool EstaAbierta() const;

    int CuentaFilas() const;
    // Deletes every row (each its own write, so a failure leaves the rest).
    void VaciaInforme();
    void AgregaFila(const FilaInforme& fila);
    // The rows in the order they were written.
    std::vector<FilaInforme> LeeFilas() const;
    // Runs cuerpo as one transaction (one write to disk for the whole report); a write that
    // fails inside it is undone alone and the rest still lands.
    void EnTransaccion(const std::function<void()>& cuerpo);

private:
    struct Datos;
    std::unique_ptr<Datos> d;
};

// Reads INFORME1 of the file at `ruta` afresh (the report does so for every new instance).
std::vector<FilaInforme> LeeInforme(const QString& ruta);
