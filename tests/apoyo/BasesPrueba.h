#pragma once
// Vocabulary files for the tests of copies: made with rows that tell two files apart, and
// compared by the digest of their rows.
#include "data/BaseVocabulario.h"
#include "data/EsquemaVocabulario.h"
#include "data/Sqlite.h"

#include <QCryptographicHash>
#include <QFile>

#include <sqlite3.h>

// A vocabulary file whose every row carries `marca`, so that two files differ in every row.
inline void CreaBase(const QString& ruta, int items, const QString& marca)
{
    BaseVocabulario::CreaVacia(ruta);
    BaseVocabulario base;
    base.Abre(ruta);
    base.EnTransaccion([&] {
        base.AgregaTema({marca, QStringLiteral("Notas del tema ") + marca});
        for (int i = 0; i < items; ++i)
            base.AgregaItem({QStringLiteral("%1 palabra %2").arg(marca).arg(i),
                             QStringLiteral("traducción %1 ñ").arg(i), marca,
                             QStringLiteral("Una nota de varias líneas\r\ncon algo de texto "
                                            "para que la base tenga peso %1.")
                                 .arg(i)});
    });
}

// The rows of a sound vocabulary file, as a digest; empty when the file is not sound. With
// `escritura`, SQLite may first settle a journal left beside the file.
inline QByteArray HuellaFilas(const QString& ruta, bool escritura = false)
{
    try {
        ConexionSqlite conexion;
        conexion.Abre(ruta, escritura ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
        CompruebaBaseVocabulario(conexion, ruta);
        QCryptographicHash huella(QCryptographicHash::Sha256);
        const std::pair<const char*, int> consultas[] = {
            {"SELECT NOMBRETEMA, NOTASTEMA FROM TEMAS ORDER BY rowid", 2},
            {"SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS ORDER BY rowid", 4}};
        for (const auto& [sql, campos] : consultas)
            for (auto filas = conexion.Prepara(sql); filas.Avanza();)
                for (int campo = 0; campo < campos; ++campo)
                    huella.addData(filas.Texto(campo).toUtf8().append('\0'));
        return huella.result();
    } catch (const ErrorTalvex&) {
        return {};
    }
}

// Runs SQL of the test's own on the file, outside the store and its guards.
inline bool EjecutaSinGuardas(const QString& ruta, const QByteArray& sql)
{
    sqlite3* db = nullptr;
    const bool bien = sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db,
                                      SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                      sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return bien;
}

// Adds an item that the index `indice` does not hold, as a write that bypassed the index
// would leave it: the index is made partial (holding no row) while the item is written. SQLite's
// quick check finds the file sound; only its whole check finds the row missing. Without the
// unique index ITEMING, the item may repeat another's English text.
inline bool DanaIndiceItems(const QString& ruta, const Item& item,
                            const QByteArray& indice = "ITEMSLISTA")
{
    if (!EjecutaSinGuardas(ruta, "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = "
                                 "sql || ' WHERE 0' WHERE name = '" +
                                     indice + "'"))
        return false;
    {
        BaseVocabulario base;
        base.Abre(ruta);
        base.AgregaItem(item);
    }
    return EjecutaSinGuardas(ruta, "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = "
                                   "substr(sql, 1, length(sql) - 8) WHERE name = '" +
                                       indice + "'");
}
