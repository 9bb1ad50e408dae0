#pragma once
// Backing the vocabulary database up and restoring it: opening the dialog, and the rules it
// applies to the paths in its two boxes.
#include <QString>

// The name the database keeps in every copy.
inline const QString NombreRespaldo = QStringLiteral("TALVEXV20.MDB");

// A path names the database when its last 13 characters are "TALVEXV20.MDB" in any case;
// any folder and any longer name ending so passes.
bool NombraBaseDatos(const QString& ruta);

// A path "has a drive" when it is absolute, so that it says where the copy goes.
bool TieneUnidad(const QString& ruta);

// The drive a path lies on, as messages name it: the mount point holding its folder (its
// nearest existing folder when the folder is missing), e.g. "/media/usb".
QString UnidadDe(const QString& ruta);

// A destination that is nothing but a drive (a mount point, blanks around it allowed)
// becomes the database on it, "<mount point>/TALVEXV20.MDB"; anything else gives an empty
// text.
QString ExpandeUnidad(const QString& destino);

// The text without the blanks (spaces) at its ends.
QString RecortaBlancos(const QString& texto);

// Where a file dialog opens for a box the user fills: the box's folder when it exists,
// else the user's home.
QString CarpetaInicial(const QString& textoCaja);

// The working database as the dialog names it: the working folder's "TALVEXV20.MDB".
QString RutaBaseTrabajo();

// Copies the database at `origen` over `destino`. When the destination is the database the
// program holds open, it is restored through that connection; any other destination gets a
// checked copy that replaces it whole. The working database, open or not, is first kept
// beside itself (SufijoCopiaPrevia).
void CopiaBaseDatos(const QString& origen, const QString& destino);
