#pragma once
// The file-system object through which every file test, copy and deletion goes.
// Failures throw ErrorTalvex with the numbers callers tell apart (53 file not found,
// 76 path not found, 70 permission denied, disk full…); no operation shows a message.
#include "data/ErrorTalvex.h"

#include <QString>
#include <memory>

class FlujoTexto {
public:
    virtual ~FlujoTexto() = default;
    // Writes the text in UTF-8 followed by carriage return and line feed.
    virtual void WriteLine(const QString& texto) = 0;
    virtual void Close() = 0;
};

class SistemaArchivos {
public:
    bool FileExists(const QString& ruta) const;
    bool FolderExists(const QString& ruta) const;
    void CreateFolder(const QString& ruta) const;
    // Creates the folder and those of its parents that are missing.
    void CreaCarpetaConPadres(const QString& ruta) const;
    // Byte-for-byte copy, replacing an existing destination; the destination is always
    // either the old file or the whole new one.
    void CopyFile(const QString& origen, const QString& destino) const;
    // Deletes every file matching the pattern; its last component may hold * and ?.
    // With forzar, read-only files go too. Nothing matching → error 53.
    void DeleteFile(const QString& patron, bool forzar) const;
    std::unique_ptr<FlujoTexto> CreateTextFile(const QString& ruta, bool sobrescribir) const;
};

// Builds the ErrorTalvex of a failed system call from errno (ENOENT → 53 or 76, EACCES → 70…).
ErrorTalvex ErrorDesdeErrno(int numeroErrno, bool destino);
