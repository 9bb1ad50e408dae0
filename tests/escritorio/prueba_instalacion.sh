#!/usr/bin/env bash
# Installing for one user: into a folder with a blank in its name, the launcher and the
# metainfo pass the desktop's own checkers, every icon size is there, a second install
# keeps the user's vocabulary, and uninstalling leaves only the databases and the copies.
# Usage: prueba_instalacion.sh BUILD
set -euo pipefail
BUILD=$1
INSTALA=$(dirname "$0")/../../tools/instalacion.sh
BASE=$(mktemp -d)
trap 'rm -rf "$BASE"' EXIT
PREFIJO="$BASE/mi prefijo"
DATOS="$PREFIJO/share"
PROGRAMA="$DATOS/TALVEXV20/programa"

falla() {
    echo "FALLO: $*" >&2
    exit 1
}

# The width and height stored in a PNG's header.
lado_png() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'
}

"$INSTALA" instala "$BUILD" "$PREFIJO" >/dev/null
desktop-file-validate "$DATOS/applications/talvex.desktop" || falla "el lanzador no es válido"
appstreamcli validate --no-net "$DATOS"/metainfo/*.metainfo.xml || falla "el metainfo no es válido"
grep -qxF "Exec=\"$PROGRAMA/TALVEXV20\"" "$DATOS/applications/talvex.desktop" ||
    falla "Exec no cita la ruta con blancos"
grep -qxF "Path=$PROGRAMA" "$DATOS/applications/talvex.desktop" || falla "Path no es la carpeta"
for lado in 16 22 24 32 48 64 128 256; do
    icono="$DATOS/icons/hicolor/${lado}x${lado}/apps/talvex.png"
    [[ $(lado_png "$icono") == "${lado}x${lado}" ]] || falla "icono de $lado px: $(lado_png "$icono")"
done
[[ -s $DATOS/icons/hicolor/scalable/apps/talvex.svg ]] || falla "falta el icono SVG"
for archivo in TALVEXV20 TALVEXV20.html TALVEXV20.MDB TalvexReport.mdb; do
    [[ -s $PROGRAMA/$archivo ]] || falla "falta $archivo"
done
[[ -x $PROGRAMA/TALVEXV20 ]] || falla "el programa no es ejecutable"

# The user's words survive a second install.
sqlite3 "$PROGRAMA/TALVEXV20.MDB" "DELETE FROM ITEMS"
antes=$(md5sum <"$PROGRAMA/TALVEXV20.MDB")
"$INSTALA" instala "$BUILD" "$PREFIJO" >/dev/null
[[ $(md5sum <"$PROGRAMA/TALVEXV20.MDB") == "$antes" ]] || falla "la reinstalación tocó la base"

mkdir -p "$DATOS/TALVEXV20/copias"
touch "$DATOS/TALVEXV20/copias/TALVEXV20-20261209-120000.MDB" "$PROGRAMA/TALVEXV20.MDB.anterior"
"$INSTALA" desinstala "$PREFIJO" >/dev/null
quedan=$(cd "$DATOS" && find . -type f ! -name mimeinfo.cache | sort | tr '\n' ' ')
esperado="./TALVEXV20/copias/TALVEXV20-20261209-120000.MDB ./TALVEXV20/programa/TALVEXV20.MDB \
./TALVEXV20/programa/TALVEXV20.MDB.anterior ./TALVEXV20/programa/TalvexReport.mdb "
[[ $quedan == "$esperado" ]] || falla "tras desinstalar quedan: $quedan"
[[ ! -d $DATOS/icons ]] || falla "quedan carpetas de iconos vacías"
mensaje=$("$INSTALA" desinstala "$PREFIJO" 2>&1) && falla "desinstalar dos veces no falla"
[[ $mensaje == *"no hay ninguna instalación de TALVEX"* ]] || falla "mensaje: $mensaje"

# A folder a launcher cannot name safely is refused before anything is written.
mensaje=$("$INSTALA" instala "$BUILD" "$BASE/con\"comillas" 2>&1) && falla "se instaló con comillas"
[[ $mensaje == *"no puede contener comillas"* && ! -e "$BASE/con\"comillas" ]] || falla "$mensaje"
echo "instalación correcta"
