#pragma once
// The one error type of the program: a number and a Spanish description, as the
// trap-and-report messages show them ("¡¡ Error N: descripción !!").
#include <QString>
#include <stdexcept>

class ErrorTalvex : public std::runtime_error {
public:
    ErrorTalvex(int numero, const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion)
    {
    }
    int Numero() const { return numero_; }
    const QString& Descripcion() const { return descripcion_; }

private:
    int numero_;
    QString descripcion_;
};

// Numbers the store raises, kept from the original engine so that messages read alike.
namespace NumeroError {
constexpr int ArgumentoNoValido = 5;
constexpr int NombreArchivoIncorrecto = 52;
constexpr int ArchivoNoEncontrado = 53;
constexpr int ErrorEntradaSalida = 57;
constexpr int ArchivoYaExiste = 58;
constexpr int DispositivoNoDisponible = 68;
constexpr int PermisoDenegado = 70;
constexpr int DiscoNoPreparado = 71;
constexpr int AccesoRutaArchivo = 75;
constexpr int RutaNoEncontrada = 76;
constexpr int DiscoLleno = static_cast<int>(0x80070070u); // the system's disk-full result
constexpr int SinRegistroActual = 3021;                   // lookup before a write found no row
constexpr int ClaveDuplicada = 3022;                      // the unique key refused the write
constexpr int SoloLectura = 3027;                         // the file cannot be written
constexpr int BaseNoValida = 3049;                        // not a sound vocabulary database
constexpr int BaseBloqueada = 3260;                       // another program holds a lock
constexpr int TablaNoAbierta = 3420;                      // the tables were never opened
constexpr int ErrorBaseDatos = 3000;                      // any other engine failure
} // namespace NumeroError
