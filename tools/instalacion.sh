#!/usr/bin/env bash
# Lays out the program folder, installs TALVEX for one user and removes it again.
#
#   instalacion.sh carpeta    BUILD CARPETA   the program folder: the executable, its help page
#                                             and the two databases (created only when missing)
#   instalacion.sh instala    BUILD [PREFIX]  the program folder in DATOS/TALVEXV20/programa, the
#                                             launcher, the icons and the AppStream metainfo
#   instalacion.sh desinstala [PREFIX]        removes what instala put, except the user's
#                                             databases and automatic copies
#
# DATOS is PREFIX/share when PREFIX is given, else the user's data home (~/.local/share).
# Everything instala writes outside the databases is listed in the program folder's
# .instalacion file, so that desinstala removes exactly that.
set -euo pipefail

FUENTES=$(cd "$(dirname "$0")/.." && pwd)
MANIFIESTO=.instalacion

falla() {
    echo "instalacion.sh: $*" >&2
    exit 1
}

datos() {
    if [[ -n ${1:-} ]]; then
        echo "$1/share"
    else
        echo "${XDG_DATA_HOME:-$HOME/.local/share}"
    fi
}

# Copies a file into place through a temporary beside it, so that a half-copied file
# never stands under the final name, and notes it in the manifest.
pon() {
    local origen=$1 destino=$2 modo=$3
    mkdir -p "$(dirname "$destino")"
    install -m "$modo" "$origen" "$destino.nuevo"
    mv -f "$destino.nuevo" "$destino"
    [[ -z ${LISTA:-} ]] || echo "$destino" >>"$LISTA"
}

carpeta() {
    local build=$1 programa=$2
    [[ -x $build/TALVEXV20 && -x $build/talvex-creabd ]] || falla "falta compilar en $build"
    mkdir -p "$programa"
    pon "$build/TALVEXV20" "$programa/TALVEXV20" 755
    local archivo
    for archivo in "$FUENTES"/resources/ayuda/*; do
        pon "$archivo" "$programa/$(basename "$archivo")" 644
    done
    # The user's vocabulary is never overwritten: only a missing database is created.
    [[ -f $programa/TALVEXV20.MDB ]] ||
        "$build/talvex-creabd" --principal "$programa/TALVEXV20.MDB" \
            --vocabulario "$FUENTES/resources/vocabulario"
    [[ -f $programa/TalvexReport.mdb ]] ||
        "$build/talvex-creabd" --reporte "$programa/TalvexReport.mdb"
}

# A desktop file's Exec takes a path with blanks inside double quotes and every '%'
# doubled; quotes, '$', '`' and '\' would need two levels of escaping, so such folders
# are refused rather than risk a launcher that starts something else.
cita_exec() {
    local ruta=$1
    [[ $ruta != *[\"\`\$\\]* ]] || falla "la carpeta no puede contener comillas, \$, \` ni \\: $ruta"
    ruta=${ruta//%/%%}
    if [[ $ruta == *[[:space:]]* ]]; then
        ruta="\"$ruta\""
    fi
    printf '%s' "$ruta"
}

instala() {
    local build=$1 datos programa orden_exec
    datos=$(datos "${2:-}")
    programa=$datos/TALVEXV20/programa
    orden_exec=$(cita_exec "$programa/TALVEXV20")
    LISTA=$(mktemp)
    trap 'rm -f "$LISTA"' EXIT
    carpeta "$build" "$programa"

    # The launcher starts the program in its own folder: the vocabulary lives beside it.
    local escritorio=$FUENTES/resources/escritorio temporal
    temporal=$(mktemp)
    {
        cat "$escritorio/talvex.desktop.in"
        printf 'Exec=%s\nTryExec=%s\nPath=%s\n' "$orden_exec" "$programa/TALVEXV20" "$programa"
    } >"$temporal"
    pon "$temporal" "$datos/applications/talvex.desktop" 644
    rm -f "$temporal"
    pon "$escritorio/org.example.talvex.metainfo.xml" "$datos/metainfo/org.example.talvex.metainfo.xml" 644

    local icono tema
    for icono in "$FUENTES"/resources/iconos/hicolor/*/apps/talvex.*; do
        tema=${icono#"$FUENTES/resources/iconos/"}
        pon "$icono" "$datos/icons/$tema" 644
    done

    # A second install keeps what the first one listed, so that uninstall still finds all of
    # it; the manifest lists itself last, so that removing it ends the uninstall.
    local manifiesto=$programa/$MANIFIESTO
    { [[ ! -f $manifiesto ]] || grep -vxF "$manifiesto" "$manifiesto" || true; } >>"$LISTA"
    { awk '!visto[$0]++' "$LISTA" && echo "$manifiesto"; } >"$manifiesto.nuevo"
    mv -f "$manifiesto.nuevo" "$manifiesto"
    refresca "$datos"
    echo "TALVEX instalado en $programa"
}

# Menus and icon themes notice new files by themselves; these caches only speed that up.
refresca() {
    local datos=$1
    if command -v update-desktop-database >/dev/null; then
        update-desktop-database -q "$datos/applications" || true
    fi
    if command -v gtk-update-icon-cache >/dev/null && [[ -f $datos/icons/hicolor/index.theme ]]; then
        gtk-update-icon-cache -q -t "$datos/icons/hicolor" || true
    fi
}

desinstala() {
    local datos programa archivo hueco
    datos=$(datos "${1:-}")
    programa=$datos/TALVEXV20/programa
    [[ -f $programa/$MANIFIESTO ]] || falla "no hay ninguna instalación de TALVEX en $programa"
    while IFS= read -r archivo; do
        rm -f "$archivo"
        # Folders left empty go too, never above the data folder itself.
        hueco=$(dirname "$archivo")
        while [[ $hueco == "$datos"/* ]] && rmdir "$hueco" 2>/dev/null; do
            hueco=$(dirname "$hueco")
        done
    done <"$programa/$MANIFIESTO"
    refresca "$datos"
    echo "TALVEX desinstalado; se conservan sus bases de datos y copias en $datos/TALVEXV20"
}

orden=${1:-}
shift || true
case $orden in
carpeta) carpeta "$@" ;;
instala) instala "$@" ;;
desinstala) desinstala "$@" ;;
*) falla "uso: instalacion.sh carpeta BUILD CARPETA | instala BUILD [PREFIX] | desinstala [PREFIX]" ;;
esac
