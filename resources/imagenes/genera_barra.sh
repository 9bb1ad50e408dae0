#!/usr/bin/env bash
# Dibuja los iconos de la barra de herramientas de la ventana principal (carpeta y respaldo),
# obra propia del proyecto, con ImageMagick. Se ejecuta desde cualquier carpeta.
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/convert -size 192x192 xc:none -stroke '#2b2b7a' -strokewidth 8 -fill '#6a6ad8' \
  -draw "roundrectangle 24,24 168,168 16,16" -fill white -stroke none -draw "rectangle 52,32 140,84" \
  -fill '#2b2b7a' -draw "rectangle 112,40 128,76" -fill '#c0c0ff' -draw "roundrectangle 48,104 144,160 8,8" \
  -fill '#1e9e3a' -stroke white -strokewidth 6 \
  -draw "polygon 96,92 140,136 112,136 112,176 80,176 80,136 52,136" -resize 24x24 -strip respaldar.png
/usr/bin/convert -size 192x192 xc:none -stroke '#7a4c00' -strokewidth 8 -fill '#ffc843' \
  -draw "path 'M 16,48 L 72,48 L 88,64 L 176,64 L 176,160 L 16,160 Z'" -fill '#ffe08a' \
  -draw "path 'M 40,88 L 184,88 L 160,160 L 16,160 Z'" -resize 24x24 -strip carpeta.png
