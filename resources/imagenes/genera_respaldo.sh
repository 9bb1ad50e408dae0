#!/usr/bin/env bash
# Pictures of the backup dialog: the database leaving (origin), the drive receiving it
# (destination) and the lifebuoy icon. Drawn from scratch with ImageMagick primitives.
# Each one is written at its size (NAME.png) and, from the same drawing, at twice its
# size (NAME@2x.png) for scaled screens.
set -euo pipefail
OUT=${1:-$(dirname "$0")}
IM=/usr/bin/convert
SALIDA_PNG=(-strip -define png:exclude-chunks=date,time,tIME)
# icono NAME SIDE MVG: the MVG (one unit = one pixel of the 1x picture) drawn on a canvas
# 8 times larger and reduced by averaging blocks, once for each scale K with side SIDE*K.
icono() {
    local nombre=$1 lado=$2 mvg=$3 ss=8 k
    for k in 1 2; do
        local grande=$((lado * k * ss)) escala=$((ss * k)) archivo=$nombre
        ((k == 1)) || archivo=${nombre%.png}@${k}x.png
        "$IM" -size "${grande}x${grande}" xc:none \
            -draw "affine $escala,0,0,$escala,-0.5,-0.5 $mvg" \
            -filter box -resize "$((lado * k))x$((lado * k))" \
            "${SALIDA_PNG[@]}" "PNG32:$OUT/$archivo"
    done
}
TINTA='#2e3650'
# A database cylinder of three discs, left part of a 48 x 48 square.
cilindro() { # x0 y0 ancho alto
  local x=$1 y=$2 w=$3 h=$4 ry=4
  local x1=$((x + w)) cx=$((x + w / 2)) rx=$((w / 2)) yb=$((y + h))
  echo "
  stroke-width 1.2 stroke '$TINTA' fill '#4f7fd0'
  path 'M $x,$y L $x,$yb A $rx,$ry 0 0,0 $x1,$yb L $x1,$y Z'
  fill '#7fa8ee' ellipse $cx,$y $rx,$ry 0,360
  fill none stroke '#c9dcff' stroke-width 1
  path 'M $((x + 1)),$((y + h / 3)) A $rx,$ry 0 0,0 $((x1 - 1)),$((y + h / 3))'
  path 'M $((x + 1)),$((y + 2 * h / 3)) A $rx,$ry 0 0,0 $((x1 - 1)),$((y + 2 * h / 3))'
  "
}
flecha_derecha="
  stroke-linejoin round stroke-width 1.2 stroke '#145c25' fill '#2fae4e'
  polygon 28,21 37,21 37,15 46,25 37,35 37,29 28,29
  stroke none fill '#8be39f' rectangle 29,22.2 37,23.2
"
icono respaldo_origen.png 48 "$(cilindro 4 10 22 28) $flecha_derecha"

# A drive (a box with its slot and light) and the database coming down into it.
unidad="
  stroke-linejoin round stroke-width 1.2 stroke '$TINTA' fill '#b8c0cc'
  roundrectangle 4.5,30.5 43.5,44.5 3,3
  fill '#dfe4ea' roundrectangle 4.5,30.5 43.5,36.5 3,3
  stroke none fill '#5a6478' rectangle 9,39 31,41
  fill '#2fae4e' circle 38,40 38,41.6
"
flecha_abajo="
  stroke-linejoin round stroke-width 1.2 stroke '#145c25' fill '#2fae4e'
  polygon 30,3 38,3 38,14 44,14 34,25 24,14 30,14
"
icono respaldo_destino.png 48 "$(cilindro 6 6 16 18) $flecha_abajo $unidad"

# The lifebuoy: a red and white ring with its rope around it.
salvavidas="
  fill-rule evenodd stroke none fill '#e53935' path 'M 2.5,20 A 17.5,17.5 0 1,0 37.5,20 A 17.5,17.5 0 1,0 2.5,20 Z M 10.5,20 A 9.5,9.5 0 1,0 29.5,20 A 9.5,9.5 0 1,0 10.5,20 Z' fill white path 'M 36.11,26.84 A 17.5,17.5 0 0,1 26.84,36.11 L 23.71,28.74 A 9.5,9.5 0 0,0 28.74,23.71 Z' path 'M 13.16,36.11 A 17.5,17.5 0 0,1 3.89,26.84 L 11.26,23.71 A 9.5,9.5 0 0,0 16.29,28.74 Z' path 'M 3.89,13.16 A 17.5,17.5 0 0,1 13.16,3.89 L 16.29,11.26 A 9.5,9.5 0 0,0 11.26,16.29 Z' path 'M 26.84,3.89 A 17.5,17.5 0 0,1 36.11,13.16 L 28.74,16.29 A 9.5,9.5 0 0,0 23.71,11.26 Z' fill none stroke '#7f1414' stroke-width 1.2 path 'M 2.5,20 A 17.5,17.5 0 1,0 37.5,20 A 17.5,17.5 0 1,0 2.5,20 Z M 10.5,20 A 9.5,9.5 0 1,0 29.5,20 A 9.5,9.5 0 1,0 10.5,20 Z' stroke '#b08040' stroke-width 1.1 stroke-dasharray 2.2,1.6 path 'M 6.5,20 A 13.5,13.5 0 1,0 33.5,20 A 13.5,13.5 0 1,0 6.5,20 Z'
"
icono respaldo_icono.png 40 "$salvavidas"
