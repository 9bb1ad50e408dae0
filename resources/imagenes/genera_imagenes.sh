#!/usr/bin/env bash
# Genera todas las imágenes de TALVEX (pantalla de bienvenida, icono del programa,
# nodos del árbol de temas e iconos de los botones) con primitivas de dibujo de
# ImageMagick. Se puede ejecutar tantas veces como se quiera: siempre reescribe
# los mismos PNG en la carpeta donde está este script.
#
# Cada imagen sale dos veces, dibujada desde la misma descripción: NOMBRE.png a
# su tamaño y NOMBRE@2x.png al doble, para las pantallas escaladas al 150 % o al
# 200 %. También escribe el icono del programa para el escritorio en
# ../iconos/hicolor/NxN/apps/talvex.png.
#
# Uso: bash genera_imagenes.sh
set -euo pipefail

cd "$(dirname "$0")"

IM=${IM:-/usr/bin/convert}
FUENTE=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
FUENTE_NEGRITA=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

for f in "$FUENTE" "$FUENTE_NEGRITA"; do
    [[ -r $f ]] || { echo "Falta la fuente $f" >&2; exit 1; }
done

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# PNG sin fechas ni metadatos: el mismo script da siempre los mismos bytes.
SALIDA_PNG=(-strip -define png:exclude-chunks=date,time,tIME)

# Escalas que se escriben de cada imagen: 1 (NOMBRE.png) y 2 (NOMBRE@2x.png).
ESCALAS=(1 2)

# Producto de dos números, decimales incluidos; los enteros salen sin decimales.
por() { awk -v a="$1" -v b="$2" 'BEGIN { print a * b }'; }

# con_escala NOMBRE K: el nombre del archivo de la escala K (sufijo @Kx salvo en la 1).
con_escala() {
    if (($2 == 1)); then echo "$1"; else echo "${1%.png}@${2}x.png"; fi
}

# ---------------------------------------------------------------------------
# lienzo NOMBRE LADO MVG [SUPERMUESTREO] [UNIDAD] [DESPLAZAMIENTO]
# Dibuja el MVG sobre un lienzo SUPERMUESTREO veces mayor que el final y lo reduce
# promediando bloques: bordes nítidos y suavizado limpio. Cada unidad del MVG mide
# UNIDAD píxeles finales (1 por omisión, puede llevar decimales), así que con
# UNIDAD entera los bordes de píxel caen en coordenadas enteras y las líneas de
# grosor 1 van en coordenadas x,5. DESPLAZAMIENTO (0 por omisión) mueve el dibujo
# esa fracción de píxel final en diagonal (hacia abajo a la derecha si es positiva):
# con una UNIDAD fraccionaria asienta los trazos principales sobre píxeles enteros.
# ---------------------------------------------------------------------------
lienzo() {
    local nombre=$1 lado=$2 mvg=$3 ss=${4:-8} unidad=${5:-1} desplazamiento=${6:-0}
    local grande=$((lado * ss)) escala origen
    escala=$(por "$ss" "$unidad")
    origen=$(awk -v ss="$ss" -v d="$desplazamiento" 'BEGIN { print ss * d - 0.5 }')
    "$IM" -size "${grande}x${grande}" xc:none \
        -draw "affine $escala,0,0,$escala,$origen,$origen $mvg" \
        -filter box -resize "${lado}x${lado}" \
        "${SALIDA_PNG[@]}" "PNG32:$nombre"
}

# icono NOMBRE LADO MVG [SUPERMUESTREO] [UNIDAD]: el mismo dibujo en cada escala,
# con el lado y la unidad multiplicados por ella.
icono() {
    local nombre=$1 lado=$2 mvg=$3 ss=${4:-8} unidad=${5:-1} k
    for k in "${ESCALAS[@]}"; do
        lienzo "$(con_escala "$nombre" "$k")" $((lado * k)) "$mvg" "$ss" "$(por "$unidad" "$k")"
    done
}

# --- Paleta común ----------------------------------------------------------
TINTA='#2e3650'          # contornos de papel y aparatos
CARPETA_BORDE='#7a4c00'
CARPETA_FONDO='#dc9414'
CARPETA_FRENTE='#ffc843'
CARPETA_BRILLO='#ffe49c'
VERDE='#2fae4e'; VERDE_BORDE='#145c25'
ROJO='#e53935'; ROJO_BORDE='#7f1414'
LINEA_TEXTO='#8ea3cf'

# --- Piezas de 24 × 24 -----------------------------------------------------
carpeta24="
  stroke-linejoin round stroke-width 1 stroke '$CARPETA_BORDE'
  fill '$CARPETA_FONDO'
  path 'M 1.5,19.5 L 1.5,4.5 Q 1.5,3.5 2.5,3.5 L 8,3.5 L 10,5.5 L 19.5,5.5 Q 20.5,5.5 20.5,6.5 L 20.5,19.5 Z'
  fill '$CARPETA_FRENTE'
  path 'M 1.5,19.5 L 1.5,8.5 L 20.5,8.5 L 20.5,19.5 Z'
  stroke '$CARPETA_BRILLO' line 2,9.5 20,9.5
"

ficha24="
  stroke-linejoin round stroke-width 1 stroke '$TINTA' fill white
  roundrectangle 1.5,3.5 20.5,18.5 1.5,1.5
  stroke none fill '#d6e0ff' rectangle 2,4 20,8
  stroke '#e06060' line 2,8.5 20,8.5
  stroke '$LINEA_TEXTO' line 4,11.5 18,11.5 line 4,14.5 14,14.5
"

# Insignias de la esquina inferior derecha.
mas="
  stroke none
  fill '$VERDE_BORDE'
  polygon 16,13 21,13 21,16 24,16 24,21 21,21 21,24 16,24 16,21 13,21 13,16 16,16
  fill '$VERDE'
  polygon 17,14 20,14 20,17 23,17 23,20 20,20 20,23 17,23 17,20 14,20 14,17 17,17
  fill '#8be39f' rectangle 17,14 20,15 rectangle 14,17 17,18 rectangle 20,17 23,18
"

cruz="
  stroke '$ROJO_BORDE' stroke-width 1 stroke-linejoin miter fill '$ROJO'
  polygon 13.6,15.8 15.8,13.6 18.5,16.3 21.2,13.6 23.4,15.8 20.7,18.5 23.4,21.2 21.2,23.4 18.5,20.7 15.8,23.4 13.6,21.2 16.3,18.5
"

lapiz="
  push graphic-context
  translate 12.6,22.8 rotate -45
  stroke none
  fill '#f2d3a0' polygon 0,0 3.2,-2 3.2,2
  fill '#333333' polygon 0,0 1.3,-0.8 1.3,0.8
  fill '#ffcf40' rectangle 3.2,-2 10.6,0
  fill '#e79a10' rectangle 3.2,0 10.6,2
  fill '#b9c0cc' rectangle 10.6,-2 11.9,2
  fill '#f07c8c' rectangle 11.9,-2 13.2,2
  fill none stroke '#3a2e14' stroke-width 0.9 stroke-linejoin round
  polygon 0,0 3.2,-2 13.2,-2 13.2,2 3.2,2
  pop graphic-context
"

icono tema_nuevo.png     24 "$carpeta24 $mas"
icono tema_editar.png    24 "$carpeta24 $lapiz"
icono tema_eliminar.png  24 "$carpeta24 $cruz"
icono item_nuevo.png     24 "$ficha24 $mas"
icono item_editar.png    24 "$ficha24 $lapiz"
icono item_eliminar.png  24 "$ficha24 $cruz"

icono vista_previa.png 24 "
  stroke-linejoin round stroke-width 1 stroke '$TINTA'
  fill white path 'M 3.5,1.5 L 13.5,1.5 L 18.5,6.5 L 18.5,22.5 L 3.5,22.5 Z'
  fill '#dfe5f2' path 'M 13.5,1.5 L 13.5,6.5 L 18.5,6.5'
  stroke '$LINEA_TEXTO' line 6,4.5 11,4.5 line 6,8.5 16,8.5 line 6,11.5 16,11.5
  line 6,14.5 16,14.5 line 6,17.5 12,17.5
  stroke '#3b2a1a' stroke-width 3 stroke-linecap round line 17.6,17.6 21.6,21.6
  stroke '#26304a' stroke-width 2 fill '#cfe6ffc0' circle 14,14 14,18.5
  stroke none fill '#ffffffd0' path 'M 11.2,13.6 A 3,3 0 0 1 13.6,11.2 L 13.6,12.4 A 1.8,1.8 0 0 0 12.4,13.6 Z'
"

icono imprimir.png 24 "
  stroke-linejoin round stroke-width 1 stroke '$TINTA'
  fill white rectangle 6.5,1.5 17.5,9
  stroke '$LINEA_TEXTO' line 8.5,4.5 15.5,4.5 line 8.5,6.5 13.5,6.5
  stroke '$TINTA' fill '#a7b1c6' roundrectangle 1.5,8.5 22.5,18.5 2,2
  stroke '#d3d9e6' line 3,9.5 21,9.5
  stroke none fill '#3ac85a' rectangle 18,11 20,13
  fill '$TINTA' rectangle 5,14 19,16
  stroke '$TINTA' fill white rectangle 6.5,15.5 17.5,22.5
  stroke '$LINEA_TEXTO' line 8.5,18.5 15.5,18.5 line 8.5,20.5 13.5,20.5
"

# --- Nodos del árbol de temas (16 × 16) ------------------------------------
icono tema_cerrado.png 16 "
  stroke-linejoin round stroke-width 1 stroke '$CARPETA_BORDE'
  fill '$CARPETA_FONDO'
  path 'M 1.5,13.5 L 1.5,2.5 L 6.5,2.5 L 6.5,3.5 L 14.5,3.5 L 14.5,13.5 Z'
  fill '$CARPETA_FRENTE' rectangle 1.5,5.5 14.5,13.5
  stroke '$CARPETA_BRILLO' line 2,6.5 14,6.5
"

icono tema_abierto.png 16 "
  stroke-linejoin round stroke-width 1 stroke '$CARPETA_BORDE'
  fill '#b87408'
  path 'M 1.5,13.5 L 1.5,2.5 L 6.5,2.5 L 6.5,3.5 L 13.5,3.5 L 13.5,8.5 L 3.5,8.5 Z'
  stroke '#a3a9b8' fill white rectangle 3.5,4.5 12.5,10
  stroke '$LINEA_TEXTO' line 5,6.5 11,6.5
  stroke '$CARPETA_BORDE' fill '$CARPETA_FRENTE'
  path 'M 1.5,13.5 L 3.5,8.5 L 15.5,8.5 L 13.5,13.5 Z'
  stroke '$CARPETA_BRILLO' line 3.6,9.5 14.6,9.5
"

# --- Icono del programa ----------------------------------------------------
# Cuadrado redondeado añil con dos bocadillos: el blanco lleva una «T» y el
# ámbar asoma detrás (en el tamaño grande lleva una «ñ»). GROSOR es el ancho de
# los contornos en unidades de la rejilla de 32.
icono_programa() {
    local grosor=${1:-1}
    echo "
  push defs push gradient 'fondo' linear 0,0 0,32
    stop-color '#8a8af2' 0 stop-color '#4040b4' 1
  pop gradient pop defs
  push graphic-context
  stroke '#2a2a86' stroke-width $grosor fill 'url(#fondo)'
  roundrectangle 1.5,1.5 30.5,30.5 6,6
  pop graphic-context
  stroke-width $grosor
  stroke '#ffffff50' fill none roundrectangle 2.5,2.5 29.5,29.5 5,5
  stroke-linejoin round stroke '#7a4c00' fill '#ffc53d'
  path 'M 15.5,11.5 L 25.5,11.5 Q 27.5,11.5 27.5,13.5 L 27.5,22.5 Q 27.5,24.5 25.5,24.5 L 25,24.5 L 26.5,28 L 21,24.5 L 17.5,24.5 Q 15.5,24.5 15.5,22.5 Z'
  stroke '#24247a' fill white
  path 'M 6.5,4.5 L 18.5,4.5 Q 20.5,4.5 20.5,6.5 L 20.5,17.5 Q 20.5,19.5 18.5,19.5 L 11,19.5 L 6,24 L 7,19.5 L 6.5,19.5 Q 4.5,19.5 4.5,17.5 L 4.5,6.5 Q 4.5,4.5 6.5,4.5 Z'
  stroke none fill '#3434a8'
  rectangle 7,7 18,10 rectangle 11,10 14,17
"
}

# programa NOMBRE LADO GROSOR SUPERMUESTREO DESPLAZAMIENTO ENYE: el icono a LADO píxeles
# (la rejilla de 32 estirada; para GROSOR, SUPERMUESTREO y DESPLAZAMIENTO, véanse
# icono_programa y lienzo). Con ENYE=si lleva la «ñ», que se escribe ya a tamaño final
# para que la fuente se vea bien dibujada: a 256 px, cuerpo 64 y a +68+42 del centro.
programa() {
    local nombre=$1 lado=$2 grosor=$3 ss=$4 desplazamiento=$5 enye=$6
    lienzo "$nombre" "$lado" "$(icono_programa "$grosor")" "$ss" "$(por "$lado" 0.03125)" \
        "$desplazamiento"
    [[ $enye == si ]] || return 0
    local f cuerpo dx dy
    f=$(por "$lado" 0.00390625)
    cuerpo=$(por 64 "$f")
    dx=$(awk -v f="$f" 'BEGIN { printf "%d", 68 * f + 0.5 }')
    dy=$(awk -v f="$f" 'BEGIN { printf "%d", 42 * f + 0.5 }')
    "$IM" "$nombre" -font "$FUENTE_NEGRITA" -pointsize "$cuerpo" -fill '#7a4c00' \
        -gravity center -annotate "+$dx+$dy" 'ñ' "${SALIDA_PNG[@]}" "PNG32:$nombre"
}

for k in "${ESCALAS[@]}"; do
    programa "$(con_escala talvex32.png "$k")" $((32 * k)) 1 8 0 no
    programa "$(con_escala talvex256.png "$k")" $((256 * k)) 0.7 4 0 si
done

# El mismo icono para el tema hicolor del escritorio, dibujado a cada tamaño. Hasta 48 px
# lleva contornos gruesos (de uno a dos píxeles) y sin «ñ», que no se leería; en
# los tamaños que no son múltiplo de 32 el desplazamiento asienta los contornos y la «T»
# sobre píxeles enteros. Desde 64 px, la «ñ» y un trazo que adelgaza hacia el de
# talvex256. Los de 32 y 256 px salen iguales que talvex32.png y talvex256.png.
while read -r lado grosor ss desplazamiento enye; do
    carpeta=../iconos/hicolor/${lado}x${lado}/apps
    mkdir -p "$carpeta"
    programa "$carpeta/talvex.png" "$lado" "$grosor" "$ss" "$desplazamiento" "$enye"
done <<'TABLA'
16  2       16  0.25  no
22  1.5     16  0.25  no
24  1.5     16  -0.25 no
32  1       8   0     no
48  1.3333  16  -0.25 no
64  1       16  0     si
128 0.75    8   0     si
256 0.7     4   0     si
TABLA

# --- Pantalla de bienvenida (420 × 260) -----------------------------------
# Fondo lavanda degradado, un libro abierto del que salen dos bocadillos
# («EN» y «ES») y el nombre del programa. La franja inferior queda libre para
# el texto que escribe la propia ventana.
ANCHO=420; ALTO=260

# bienvenida K: la pantalla a K veces su tamaño; todas las medidas (trazos, cuerpos de
# letra, desplazamientos y sombras) están en píxeles de la escala 1 y se multiplican por K.
bienvenida() {
    local k=$1 nombre ancho alto borde
    nombre=$(con_escala splash.png "$k")
    ancho=$((ANCHO * k)); alto=$((ALTO * k))
    # El marco de un píxel de la escala 1 mide K píxeles y va pegado al borde.
    borde=$(awk -v k="$k" -v w="$ancho" -v h="$alto" \
        'BEGIN { o = (k - 1) / 2; print "rectangle " o "," o " " w - 1 - o "," h - 1 - o }')

    "$IM" -size "${ancho}x${alto}" gradient:'#cacaff-#6a6ad8' \
        \( -size "${ancho}x${alto}" radial-gradient:'#ffffff70-#ffffff00' \) \
        -compose over -composite \
        "$TMP/fondo.png"

    # Dibujo a doble tamaño (coordenadas de 420 × 260 escaladas ×2K) y reducido.
    "$IM" -size $((ancho * 2))x$((alto * 2)) xc:none -draw "
  affine $((2 * k)),0,0,$((2 * k)),0,0
  stroke-linejoin round stroke-width 2
  stroke '#262680' fill '#3d3da6'
  path 'M 136,86 L 136,126 Q 174,119 210,132 Q 246,119 284,126 L 284,86 Q 246,80 210,92 Q 174,80 136,86 Z'
  stroke '#7070b8' stroke-width 1.5 fill white
  path 'M 210,88 Q 178,76 144,81 L 144,119 Q 178,114 210,126 Z'
  path 'M 210,88 Q 242,76 276,81 L 276,119 Q 242,114 210,126 Z'
  fill none stroke '#b4bce0' stroke-width 2
  path 'M 154,90 Q 176,87 200,94' path 'M 154,100 Q 176,97 200,104' path 'M 154,110 Q 176,107 200,114'
  path 'M 220,94 Q 244,87 266,90' path 'M 220,104 Q 244,97 266,100' path 'M 220,114 Q 244,107 266,110'
  stroke '#262680' stroke-width 2 fill white
  path 'M 134,14 L 192,14 Q 204,14 204,26 L 204,52 Q 204,64 192,64 L 184,64 L 186,80 L 168,64 L 134,64 Q 122,64 122,52 L 122,26 Q 122,14 134,14 Z'
  stroke '#7a4c00' fill '#ffc843'
  path 'M 228,14 L 286,14 Q 298,14 298,26 L 298,52 Q 298,64 286,64 L 252,64 L 234,80 L 236,64 L 228,64 Q 216,64 216,52 L 216,26 Q 216,14 228,14 Z'
" -filter box -resize "${ancho}x${alto}" "$TMP/dibujo.png"

    # Título en su propia capa para darle una sombra suave.
    "$IM" -size "${ancho}x${alto}" xc:none -gravity north \
        -font "$FUENTE_NEGRITA" -pointsize $((56 * k)) -kerning $((3 * k)) \
        -fill white -annotate +0+$((146 * k)) 'TALVEX' "$TMP/titulo.png"

    "$IM" "$TMP/fondo.png" \
        \( "$TMP/dibujo.png" -background '#1c1c70' -shadow 35x$((3 * k))+0+0 \) \
        -geometry -$((6 * k))+$((3 * k)) -compose over -composite \
        "$TMP/dibujo.png" -geometry +0+$((6 * k)) -composite \
        \( "$TMP/titulo.png" -background '#1c1c70' -shadow 70x$((2 * k))+0+0 \) \
        -geometry -$((4 * k))-$((2 * k)) -composite \
        "$TMP/titulo.png" -geometry +0+0 -composite \
        -font "$FUENTE_NEGRITA" -pointsize $((26 * k)) \
        -fill '#3434a8' -annotate +$((141 * k))+$((56 * k)) 'EN' \
        -fill '#7a4c00' -annotate +$((236 * k))+$((56 * k)) 'ES' \
        -gravity north -font "$FUENTE" -pointsize $((17 * k)) \
        -fill '#1e1e64' -annotate +0+$((212 * k)) 'Asistente para aprender inglés' \
        -gravity none -fill none -stroke '#4a4ab0' -strokewidth "$k" -draw "$borde" \
        -alpha off "${SALIDA_PNG[@]}" "PNG24:$nombre"
}

for k in "${ESCALAS[@]}"; do
    bienvenida "$k"
done

# --- Barra de la vista previa del informe (24 × 24) -------------------------
ANIL='#3d3dae'; ANIL_BORDE='#22226e'; ANIL_CLARO='#8f8fe6'

# Triángulos y barras de los botones de página; el relleno lleva un brillo arriba.
flecha() {
    echo "
  push defs push gradient 'nav' linear 0,4 0,20
    stop-color '$ANIL_CLARO' 0 stop-color '$ANIL' 1
  pop gradient pop defs
  stroke-linejoin round stroke-width 1 stroke '$ANIL_BORDE' fill 'url(#nav)'
  $1
"
}

icono rep_primera.png   24 "$(flecha "rectangle 4.5,5.5 7.5,18.5 polygon 19.5,5.5 19.5,18.5 9.5,12")"
icono rep_anterior.png  24 "$(flecha "polygon 16.5,5.5 16.5,18.5 6.5,12")"
icono rep_siguiente.png 24 "$(flecha "polygon 7.5,5.5 7.5,18.5 17.5,12")"
icono rep_ultima.png    24 "$(flecha "polygon 4.5,5.5 4.5,18.5 14.5,12 rectangle 16.5,5.5 19.5,18.5")"

# Corona circular de centro CX,CY entre los radios R1 y R2, de A0 a A1 grados (en el sentido
# de las agujas del reloj), como polígono: el trazo de arcos abiertos de ImageMagick 6 se
# cierra solo y deja una cuerda.
corona() {
    awk -v cx="$1" -v cy="$2" -v r1="$3" -v r2="$4" -v a0="$5" -v a1="$6" 'BEGIN {
        n = 24; printf "polygon"
        for (i = 0; i <= n; i++) { a = (a0 + (a1 - a0) * i / n) * 3.14159265 / 180
            printf " %.3f,%.3f", cx + r2 * cos(a), cy + r2 * sin(a) }
        for (i = n; i >= 0; i--) { a = (a0 + (a1 - a0) * i / n) * 3.14159265 / 180
            printf " %.3f,%.3f", cx + r1 * cos(a), cy + r1 * sin(a) }
    }'
}

# Dos flechas verdes que giran alrededor de 12,12; cada punta sigue a su arco.
icono rep_actualizar.png 24 "
  stroke '$VERDE_BORDE' stroke-width 0.8 stroke-linejoin round fill '$VERDE'
  $(corona 12 12 5.9 8.1 185 310)
  $(corona 12 12 5.9 8.1 5 130)
  polygon 20.2,9.2 18.8,3.2 13.2,8.8
  polygon 3.8,14.8 5.2,20.8 10.8,15.2
"

# Rueda dentada de centro CX,CY: dientes cuadrados alrededor de un disco con agujero.
rueda() {
    local cx=$1 cy=$2 r=$3
    awk -v cx="$cx" -v cy="$cy" -v r="$r" 'BEGIN {
        n = 8; printf "polygon"
        for (i = 0; i < n; i++) { for (k = 0; k < 4; k++) {
            # cada diente: dos puntos en el radio exterior y dos en el interior
            a = (i + (k == 0 ? -0.18 : k == 1 ? 0.18 : k == 2 ? 0.32 : 0.68)) * 2 * 3.14159265 / n
            rr = (k < 2) ? r : r * 0.72
            printf " %.3f,%.3f", cx + rr * cos(a), cy + rr * sin(a) } }
    }'
}

# Hoja con la esquina doblada y una rueda dentada: preparar la página.
icono rep_configurar.png 24 "
  stroke-linejoin round stroke-width 1 stroke '$TINTA'
  fill white path 'M 2.5,1.5 L 12.5,1.5 L 16.5,5.5 L 16.5,20.5 L 2.5,20.5 Z'
  fill '#dfe5f2' path 'M 12.5,1.5 L 12.5,5.5 L 16.5,5.5'
  stroke '$LINEA_TEXTO' line 5,5.5 10,5.5 line 5,8.5 14,8.5 line 5,11.5 14,11.5 line 5,14.5 9,14.5
  stroke '#4a4a58' stroke-width 0.8 fill '#8d93a6' $(rueda 16.5 16.5 7)
  fill white circle 16.5,16.5 16.5,18.6
"

# Círculo azul con un signo de interrogación blanco.
icono rep_ayuda.png 24 "
  push defs push gradient 'ayuda' linear 0,2 0,22
    stop-color '#7fb0ff' 0 stop-color '#2364c8' 1
  pop gradient pop defs
  push graphic-context
  stroke '#143f86' stroke-width 1 fill 'url(#ayuda)' circle 12,12 12,1.5
  pop graphic-context
  stroke none fill white font '$FUENTE_NEGRITA' font-size 15 text 7.4,17.6 '?'
"

# Círculo añil con una «i» blanca.
icono rep_acercade.png 24 "
  push defs push gradient 'info' linear 0,2 0,22
    stop-color '$ANIL_CLARO' 0 stop-color '$ANIL' 1
  pop gradient pop defs
  push graphic-context
  stroke '$ANIL_BORDE' stroke-width 1 fill 'url(#info)' circle 12,12 12,1.5
  pop graphic-context
  stroke none fill white circle 12,6.8 12,8.5
  roundrectangle 10.4,9.8 13.6,18.4 0.8,0.8
"

# El botón de imprimir de la vista previa es la misma impresora de la ventana principal.
for k in "${ESCALAS[@]}"; do
    cp "$(con_escala imprimir.png "$k")" "$(con_escala rep_imprimir.png "$k")"
done

# --- Dibujo del informe impreso (55 × 55) -----------------------------------
# Un cuaderno de espiral con cinta ámbar, renglones y un bocadillo «EN»: encabeza la
# primera página del informe de notas, así que se dibuja para verse bien sobre papel blanco.
anillas=""
for y in 10 17 24 31 38 45; do
    anillas+=" roundrectangle 4.5,$y.5 13.5,$((y + 2)).5 1.2,1.2"
done
renglones=""
for y in 19 25 31 37 43; do
    renglones+=" line 19,$y.5 42,$y.5"
done
icono informe55.png 55 "
  stroke-linejoin round stroke-width 1.2
  stroke '$ANIL_BORDE' fill '$ANIL' roundrectangle 11.5,5.5 50.5,52.5 3,3
  stroke '#7070b8' fill white roundrectangle 8.5,2.5 46.5,49.5 2.5,2.5
  stroke '#e08080' stroke-width 1 line 16.5,3 16.5,49
  stroke '#b4bce0' $renglones
  stroke '$ANIL' stroke-width 2 line 19,12.5 34,12.5
  stroke '#4a4a58' stroke-width 1 fill '#c8cad6' $anillas
  stroke '#7a4c00' fill '#ffc843' polygon 37.5,2.5 43.5,2.5 43.5,17.5 40.5,14.5 37.5,17.5
"
