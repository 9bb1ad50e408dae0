#!/usr/bin/env bash
# Dibuja los iconos de la barra de herramientas de la ventana principal (carpeta, respaldo y
# práctica), obra propia del proyecto, con ImageMagick. Se ejecuta desde cualquier carpeta.
set -euo pipefail
cd "$(dirname "$0")"

# barra NOMBRE ORDENES...: dibuja con las ORDENES de convert sobre un lienzo de 192 × 192 y lo
# reduce a 24 × 24 (NOMBRE.png) y a 48 × 48 (NOMBRE@2x.png, para pantallas escaladas).
barra() {
  local nombre=$1
  shift
  /usr/bin/convert -size 192x192 xc:none "$@" \
    \( +clone -resize 48x48 -strip -write "${nombre%.png}@2x.png" +delete \) \
    -resize 24x24 -strip "$nombre"
}

barra respaldar.png -stroke '#2b2b7a' -strokewidth 8 -fill '#6a6ad8' \
  -draw "roundrectangle 24,24 168,168 16,16" -fill white -stroke none -draw "rectangle 52,32 140,84" \
  -fill '#2b2b7a' -draw "rectangle 112,40 128,76" -fill '#c0c0ff' -draw "roundrectangle 48,104 144,160 8,8" \
  -fill '#1e9e3a' -stroke white -strokewidth 6 \
  -draw "polygon 96,92 140,136 112,136 112,176 80,176 80,136 52,136"
barra carpeta.png -stroke '#7a4c00' -strokewidth 8 -fill '#ffc843' \
  -draw "path 'M 16,48 L 72,48 L 88,64 L 176,64 L 176,160 L 16,160 Z'" -fill '#ffe08a' \
  -draw "path 'M 40,88 L 184,88 L 160,160 L 16,160 Z'"
# Practicar: two word cards, the front one turned with a tick.
barra practicar.png -stroke '#2b2b7a' -strokewidth 8 -fill '#c0c0ff' \
  -draw "roundrectangle 20,28 132,124 12,12" -fill white \
  -draw "roundrectangle 60,68 172,164 12,12" -stroke '#6a6ad8' -strokewidth 8 \
  -draw "line 80,96 152,96" -draw "line 80,120 128,120" \
  -fill none -stroke '#1e9e3a' -strokewidth 18 -draw "polyline 104,140 128,164 180,104"
