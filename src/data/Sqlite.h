#pragma once
// A small RAII layer over the SQLite C API: a connection, prepared statements that take
// values only through bound parameters, and a transaction guard that nests as savepoints.
// Every failure throws ErrorTalvex with the store's numbers and a Spanish description.
#include "data/ErrorTalvex.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// The ErrorTalvex for a failed SQLite call (extended result code) on the connection db.
ErrorTalvex TraduceErrorSqlite(int codigo, sqlite3* db);

class SentenciaSqlite;

class ConexionSqlite {
public:
    ConexionSqlite() = default;
    ~ConexionSqlite();
    ConexionSqlite(const ConexionSqlite&) = delete;
    ConexionSqlite& operator=(const ConexionSqlite&) = delete;

    // Opens ruta with the given SQLITE_OPEN_* flags (closing any earlier file first).
    void Abre(const QString& ruta, int banderas);
    void Cierra();
    bool EstaAbierta() const { return db_ != nullptr; }
    sqlite3* Manejador() const { return db_; }

    // Runs fixed SQL of the program's own, which may hold several statements. Never pass
    // text that comes from the user: values go through SentenciaSqlite::Enlaza.
    void EjecutaSql(const char* sql);
    // A statement ready to bind and step. Statements are prepared once per connection and
    // reused; a statement still stepping (a walk whose visitor runs another walk) is not
    // handed out twice.
    SentenciaSqlite Prepara(const char* sql);
    // Rows that the last INSERT, UPDATE or DELETE changed.
    int Cambios() const;

private:
    friend class TransaccionSqlite;
    friend class SentenciaSqlite;
    struct Preparada;
    sqlite3* db_ = nullptr;
    std::map<std::string, std::shared_ptr<Preparada>> preparadas_;
    int profundidad_ = 0; // open transactions: 1 = BEGIN, more = savepoints inside it
    int apertura_ = 0;    // counts openings, so a guard notices the file was closed under it
    std::shared_ptr<bool> abierta_;
};

class SentenciaSqlite {
public:
    ~SentenciaSqlite();
    SentenciaSqlite(SentenciaSqlite&&) noexcept;
    SentenciaSqlite& operator=(SentenciaSqlite&&) = delete;

    // Parameters count from 1, as in SQL's ?1, ?2… Text goes as UTF-8 with its exact
    // length, so any character (even U+0000) is stored as given; nothing binds as NULL.
    SentenciaSqlite& Enlaza(int parametro, const QString& texto);
    SentenciaSqlite& Enlaza(int parametro, const QByteArray& bytes);
    SentenciaSqlite& Enlaza(int parametro, qint64 numero);
    // Named apart, so that an int never wonders which overload it is. A NaN is stored as NULL
    // (SQLite has no NaN) and reads back as 0.
    SentenciaSqlite& EnlazaReal(int parametro, double numero);
    // The one way to store NULL: only where a value may be missing by design.
    SentenciaSqlite& EnlazaNulo(int parametro);

    // Steps once: true when a row is ready, false when the statement is done.
    bool Avanza();
    // Steps to the end (INSERT, UPDATE, DELETE, pragmas whose rows do not matter).
    void Ejecuta();

    // Columns count from 0. A NULL reads as an empty text or byte array.
    QString Texto(int columna) const;
    QByteArray Bytes(int columna) const;
    // The text as stored (UTF-8), valid until the next step: read without a copy.
    QByteArrayView Utf8(int columna) const;
    qint64 Entero(int columna) const;
    double Real(int columna) const;
    bool EsNulo(int columna) const;

private:
    friend class ConexionSqlite;
    SentenciaSqlite(sqlite3* db, std::shared_ptr<ConexionSqlite::Preparada> preparada);
    void Comprueba(int codigo) const;
    sqlite3* db_;
    std::shared_ptr<ConexionSqlite::Preparada> preparada_;
};

// Makes the writes between its creation and Confirma one unit: the outermost guard is a
// BEGIN IMMEDIATE transaction, inner ones are savepoints, so an inner failure undoes only
// its own part. Without Confirma (an exception) the destructor rolls back.
class TransaccionSqlite {
public:
    explicit TransaccionSqlite(ConexionSqlite& conexion);
    ~TransaccionSqlite();
    TransaccionSqlite(const TransaccionSqlite&) = delete;
    TransaccionSqlite& operator=(const TransaccionSqlite&) = delete;
    void Confirma();

private:
    bool SigueViva() const;
    ConexionSqlite& conexion_;
    int apertura_;
    bool exterior_;
    bool terminada_ = false;
};

// Creates a new SQLite file at ruta (refusing, with error 58, a path that exists), lets
// preparaEsquema fill it inside one transaction, and closes it. When anything fails, the
// half-made file is removed and the error is thrown.
void CreaArchivoSqlite(const QString& ruta,
                       const std::function<void(ConexionSqlite&)>& preparaEsquema);
