#pragma once
// Helpers shared by the data-store tests: direct SQL on a file (as any SQLite tool would
// see it), file fingerprints, and the English texts of a walk.
#include "data/BaseVocabulario.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include <sqlite3.h>

#include <stdexcept>

// Runs SQL on the file through a connection of its own, outside the store.
inline void EjecutaSqlDirecto(const QString& ruta, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("no se pudo abrir " + ruta.toStdString());
    }
    char* error = nullptr;
    const int codigo = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string mensaje = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (codigo != SQLITE_OK)
        throw std::runtime_error(mensaje);
}

// The first column of every row of a query, as UTF-8 bytes exactly as stored.
inline QList<QByteArray> ConsultaDirecta(sqlite3* db, const char* sql)
{
    QList<QByteArray> filas;
    sqlite3_stmt* sentencia = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &sentencia, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    while (sqlite3_step(sentencia) == SQLITE_ROW)
        filas << QByteArray(static_cast<const char*>(sqlite3_column_blob(sentencia, 0)),
                            sqlite3_column_bytes(sentencia, 0));
    sqlite3_finalize(sentencia);
    return filas;
}

inline QByteArray HuellaArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(archivo.readAll(), QCryptographicHash::Sha256).toHex();
}

inline QStringList InglesEnOrden(const BaseVocabulario& base)
{
    QStringList textos;
    base.RecorreItems([&](const Item& item) { textos << item.ITEMING; });
    return textos;
}

inline QStringList TemasEnOrden(const BaseVocabulario& base)
{
    QStringList nombres;
    base.RecorreTemas([&](const Tema& tema) { nombres << tema.NOMBRETEMA; });
    return nombres;
}

// Runs sentencia and expects it to throw ErrorTalvex with that number.
#define QVERIFY_ERROR_TALVEX(sentencia, numero)                                                    \
    do {                                                                                           \
        bool lanzado = false;                                                                      \
        try {                                                                                      \
            sentencia;                                                                             \
        } catch (const ErrorTalvex& error) {                                                       \
            lanzado = true;                                                                        \
            QCOMPARE(error.Numero(), numero);                                                      \
            QVERIFY(!error.Descripcion().isEmpty());                                               \
        }                                                                                          \
        QVERIFY2(lanzado, "se esperaba ErrorTalvex de " #sentencia);                               \
    } while (false)
