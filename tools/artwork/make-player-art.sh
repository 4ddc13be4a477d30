#!/usr/bin/env bash
# Draws the player's bitmaps with ImageMagick (6) and the WenQuanYi Micro Hei
# font, into resources/player/, then checks them (check-player-art.py). The
# results are committed; the build does not run this.
#
#   tools/artwork/make-player-art.sh [OUTPUT_DIR]
#
# Everything is placed by the main window's pixel layout (759 x 396 at the
# reference dialog units; the skins are 760 wide, the last column never shows):
#   title band rows 0-28: caption text at (10,5), keep on top (653,2),
#     minimise (680,3), maximise (704,3), close (728,3), each 23 x 23;
#   dark band rows 29-58 in RGB(0,51,102): search label, edit, button
#     (150,35 23 x 20), type label and combo, help label (698,39 32 x 12);
#   left panel: tree (3,66 117 x 326) and list (123,65 252 x 327);
#   bar at columns 378-387 with the mode button (378,194 9 x 17);
#   right panel in RGB(102,153,204): video area (392,68 360 x 255), status
#     line (392,329 246 x 12), time display (644,329 107 x 12);
#   grey strip rows 346-392: play/pause (398,350), stop (435,350), full screen
#     (716,350), each 30 x 29, the slider (485,356 156 x 15) and the volume
#     control (648,355 62 x 20).
# Button faces are drawn over the skin's own pixels at their place, so their
# corners and margins blend into it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../resources/player}
mkdir -p "$out"
out=$(cd "$out" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || { echo "needs fonts-wqy-microhei ($font)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 24-bit Windows bitmaps (no alpha, no colour table).
bmp() { convert "$1" -background black -alpha remove -alpha off -type TrueColor "BMP3:$2"; }

# MVG lines filling rows y0..y1 of columns x0..x1 with a vertical gradient
# from colour A to colour B (r,g,b); t = (row offset / span) ^ gamma.
gradient_rows() { # x0 x1 y0 y1 A B gamma
  awk -v x0="$1" -v x1="$2" -v y0="$3" -v y1="$4" -v a="$5" -v b="$6" -v g="$7" 'BEGIN {
    split(a, A, ","); split(b, B, ",")
    for (y = y0; y <= y1; y++) {
      t = (y1 == y0) ? 0 : ((y - y0) / (y1 - y0)) ^ g
      printf "fill rgb(%d,%d,%d) rectangle %d,%d %d,%d\n",
        int(A[1] + (B[1] - A[1]) * t + 0.5), int(A[2] + (B[2] - A[2]) * t + 0.5),
        int(A[3] + (B[3] - A[3]) * t + 0.5), x0, y, x1, y
    }
  }'
}

key='rgb(255,255,0)'
outline='rgb(50,98,189)'      # outermost line of the window
frame_mid='rgb(92,140,214)'   # the frame's light middle line
frame_in='rgb(30,60,134)'     # the frame's dark inner line
dark='rgb(0,51,102)'          # band of the search row; the labels' background
left_panel='rgb(58,100,172)'
light='rgb(102,153,204)'      # right panel; status and time background
bar_edge='rgb(36,66,147)'
pane_line='rgb(36,66,147)'    # hairlines around the tree, list and video area
pane_light='rgb(150,192,230)'

# ---- The full-mode skin (143), 760 x 396 -------------------------------------
{
  echo "viewbox 0 0 760 396"
  # Frame: nested rectangles from the outermost line inwards, rows 29-395.
  echo "fill $outline rectangle 0,0 759,395"
  echo "fill $frame_mid rectangle 1,29 757,394"
  echo "fill $frame_in rectangle 2,29 756,393"
  # Title band: outline on row 0 and the outer columns, gradient inside.
  gradient_rows 1 757 1 28 153,197,238 41,83,177 0.7
  echo "fill rgba(255,255,255,0.18) rectangle 1,1 757,1"
  echo "fill rgb(20,48,112) rectangle 1,28 757,28"
  # Dark band of the search row.
  echo "fill $dark rectangle 3,29 755,58"
  # Separator lines under it.
  echo "fill rgb(52,100,170) rectangle 3,59 755,59"
  echo "fill rgb(170,206,240) rectangle 3,60 755,60"
  echo "fill rgb(110,158,214) rectangle 3,61 755,61"
  echo "fill rgb(36,66,147) rectangle 3,62 755,62"
  # Left panel with hairlines around the tree and the list.
  echo "fill $left_panel rectangle 3,63 377,392"
  echo "fill $pane_line rectangle 3,65 120,392"
  echo "fill rgb(59,100,171) rectangle 3,66 119,391"
  echo "fill $pane_line rectangle 122,64 375,392"
  echo "fill rgb(59,100,171) rectangle 123,65 374,391"
  # The bar between list and video area, carrying the mode button.
  echo "fill $bar_edge rectangle 378,63 387,392"
  echo "fill $light rectangle 379,63 386,392"
  # Right panel.
  echo "fill $light rectangle 388,63 755,392"
  # Video area, sunk into the panel: dark line above and left, light below
  # and right; the player control covers the inside.
  echo "fill $pane_line rectangle 390,66 753,324"
  echo "fill $pane_light rectangle 391,67 753,324"
  echo "fill $pane_line rectangle 390,66 752,323"
  echo "fill rgb(16,24,40) rectangle 392,68 751,322"
  # A divider between the status line and the time display.
  echo "fill rgb(72,118,178) rectangle 640,329 640,340"
  echo "fill rgb(150,192,230) rectangle 641,329 641,340"
  # Grey strip behind the playback row, under a dark line.
  echo "fill rgb(60,96,150) rectangle 388,345 755,345"
  gradient_rows 388 755 346 392 228,228,225 87,85,81 1.6
  echo "fill rgba(255,255,255,0.55) rectangle 388,346 755,346"
  # Rounded top corners: key colour outside, the outline along the curve.
  echo "fill $key rectangle 0,0 4,0 rectangle 754,0 759,0"
  echo "fill $key rectangle 0,1 1,1 rectangle 757,1 759,1"
  echo "fill $key point 0,2 rectangle 758,2 759,2"
  echo "fill $key rectangle 759,3 759,4"
  echo "fill $outline rectangle 2,1 4,1 point 1,2 rectangle 754,1 756,1 point 757,2 point 758,3 point 758,4"
} >"$work/skin.mvg"
convert -size 760x396 xc:"$light" +antialias -draw "$(cat "$work/skin.mvg")" "$work/skin_full.png"

# Small touches drawn smoothly: a help mark before "帮 助", a grip on the bar
# above and below the mode button, the name engraved in the grey strip.
convert "$work/skin_full.png" \
  \( -size 13x13 xc:"$dark" -fill 'rgb(120,170,225)' -draw 'circle 6,6 6,0.5' \
     -font "$font" -pointsize 10 -fill "$dark" -gravity center -annotate +0+0 '?' \) \
  -gravity northwest -geometry +682+38 -composite +gravity \
  +antialias -fill 'rgb(60,100,160)' -draw 'rectangle 381,184 384,184 rectangle 381,187 384,187' \
  -draw 'rectangle 381,217 384,217 rectangle 381,220 384,220' \
  -fill 'rgb(170,205,236)' -draw 'rectangle 381,185 384,185 rectangle 381,188 384,188' \
  -draw 'rectangle 381,218 384,218 rectangle 381,221 384,221' \
  -antialias -font "$font" -pointsize 12 \
  -fill 'rgba(255,255,255,0.7)' -annotate +657+369 'Kavuno' \
  -fill 'rgb(120,118,112)' -annotate +656+368 'Kavuno' \
  "$work/skin_full.png"

# ---- The play-mode skin (179): the right-hand part as a window of its own ----
# Columns 0-374 are key colour; the frame and the rounded corner of the full
# skin's left edge move to column 375; the bar's edge at 378 stays.
convert "$work/skin_full.png" \
  \( +clone -crop 5x63+0+0 +repage \) -geometry +375+0 -composite \
  \( +clone -crop 3x333+0+63 +repage \) -geometry +375+63 -composite \
  +antialias -fill "$key" -draw 'rectangle 0,0 374,395' \
  "$work/skin_play.png"

bmp "$work/skin_full.png" "$out/skin_full.bmp"
bmp "$work/skin_play.png" "$out/skin_play.bmp"

# The skin's pixels under a control, as the background of its face.
under() { convert "$work/skin_full.png" -crop "${3}x${4}+$1+$2" +repage "$work/$5.png"; }

# ---- Title-bar buttons, 23 x 23 (keep on top 25 x 24, shown 23 x 23) ----------
# A rounded square with a top-to-bottom gradient and a darker rim; GLYPH is a
# list of -draw/-fill arguments in the 23 x 23 area.
title_face() { # background top bottom rim file glyph-args...
  local bg=$1 top=$2 bottom=$3 rim=$4 file=$5
  shift 5
  local size
  size=$(identify -format '%wx%h' "$work/$bg.png")
  convert "$work/$bg.png" \
    \( -size "$size" gradient:"$top-$bottom" \) \
    \( -size "$size" xc:black -fill white -draw 'roundrectangle 0.5,0.5 21.5,21.5 4,4' \) \
    -composite \
    -fill none -stroke "$rim" -strokewidth 1 -draw 'roundrectangle 0.5,0.5 21.5,21.5 4,4' \
    -stroke 'rgba(255,255,255,0.45)' -draw 'line 3.5,1.5 18.5,1.5' \
    -stroke none "$@" "$work/$file.png"
  bmp "$work/$file.png" "$out/$file.bmp"
}

under 728 3 23 23 bg_close
cross=(-stroke white -strokewidth 2.2 -draw 'line 7,7 15,15' -draw 'line 15,7 7,15')
title_face bg_close 'rgb(255,146,104)' 'rgb(214,62,28)' 'rgb(150,40,20)' close "${cross[@]}"
title_face bg_close 'rgb(255,120,96)' 'rgb(238,40,24)' 'rgb(160,30,16)' close_hover "${cross[@]}"
title_face bg_close 'rgb(186,84,58)' 'rgb(150,44,22)' 'rgb(110,30,14)' close_pressed \
  -stroke 'rgb(236,220,214)' -strokewidth 2.2 -draw 'line 8,8 16,16' -draw 'line 16,8 8,16'

under 680 3 23 23 bg_minimize
bar=(-fill white -draw 'rectangle 6,14 16,16')
title_face bg_minimize 'rgb(170,212,250)' 'rgb(74,136,214)' 'rgb(36,78,150)' minimize "${bar[@]}"
title_face bg_minimize 'rgb(198,230,255)' 'rgb(96,164,244)' 'rgb(40,90,170)' minimize_hover "${bar[@]}"
title_face bg_minimize 'rgb(44,90,170)' 'rgb(20,54,120)' 'rgb(10,30,80)' minimize_pressed \
  -fill 'rgb(220,230,245)' -draw 'rectangle 7,15 17,17'

# The maximise picture never works: its glyph is drawn a little muted.
under 704 3 23 23 bg_maximize
title_face bg_maximize 'rgb(170,212,250)' 'rgb(74,136,214)' 'rgb(36,78,150)' maximize \
  -fill none -stroke 'rgba(255,255,255,0.75)' -strokewidth 1 -draw 'rectangle 6.5,6.5 15.5,15.5' \
  -stroke none -fill 'rgba(255,255,255,0.75)' -draw 'rectangle 6,6 16,8'

under 653 2 25 24 bg_topmost
ring=(-fill none -stroke white -strokewidth 2 -draw 'circle 11,11 11,6')
title_face bg_topmost 'rgb(110,170,240)' 'rgb(36,92,188)' 'rgb(24,60,140)' topmost "${ring[@]}"
title_face bg_topmost 'rgb(150,200,255)' 'rgb(60,126,226)' 'rgb(30,76,160)' topmost_hover "${ring[@]}"
title_face bg_topmost 'rgb(36,78,156)' 'rgb(16,44,106)' 'rgb(8,26,70)' topmost_pressed \
  -fill none -stroke 'rgb(220,230,245)' -strokewidth 2 -draw 'circle 12,12 12,7'

# ---- Search button, 22 x 18, in a 23 x 20 control on the dark band -----------
under 150 35 22 18 bg_search
search_face() { # file extra-args...
  local file=$1
  shift
  convert "$work/bg_search.png" \
    \( -size 22x18 gradient:'rgb(255,255,255)-rgb(208,216,228)' \) \
    \( -size 22x18 xc:black -fill white -draw 'roundrectangle 0.5,0.5 20.5,16.5 3,3' \) \
    -composite \
    -fill none -stroke 'rgb(120,140,170)' -strokewidth 1 -draw 'roundrectangle 0.5,0.5 20.5,16.5 3,3' \
    -stroke none -font "$font" -pointsize 11 -fill black -gravity center "$@" "$work/$file.png"
  bmp "$work/$file.png" "$out/$file.bmp"
}
search_face search -annotate -1-1 '搜'
# Pressed: the glyph moves down a pixel inside a dotted frame.
dots=()
for x in 2 4 6 8 10 12 14 16 18; do dots+=(-draw "point $x,2" -draw "point $x,14"); done
for y in 4 6 8 10 12; do dots+=(-draw "point 2,$y" -draw "point 18,$y"); done
search_face search_pressed -annotate +0+0 '搜' -gravity northwest +antialias -fill 'rgb(60,60,60)' "${dots[@]}"

# ---- Playback buttons, 32 x 30 (shown 30 x 29) on the grey strip -------------
# Round faces centred in the visible 30 x 29: normal (grey ring), pointer over
# (blue ring, glyph faded) and pressed (blue ring, darker face, glyph sharp
# and one pixel down and right).
playback_face() { # background state file glyph-args...
  local bg=$1 state=$2 file=$3 ring top bottom
  shift 3
  case $state in
    normal) ring='rgb(132,132,128)'; top='rgb(255,255,255)'; bottom='rgb(200,200,196)' ;;
    hover) ring='rgb(52,128,222)'; top='rgb(255,255,255)'; bottom='rgb(214,226,240)' ;;
    pressed) ring='rgb(36,100,196)'; top='rgb(188,196,208)'; bottom='rgb(236,240,246)' ;;
  esac
  convert "$work/$bg.png" \
    \( -size 32x30 gradient:"$top-$bottom" \) \
    \( -size 32x30 xc:black -fill white -draw 'circle 14.5,14 14.5,1.5' \) \
    -composite \
    -fill none -stroke "$ring" -strokewidth "$([ "$state" = normal ] && echo 1.2 || echo 2)" \
    -draw 'circle 14.5,14 14.5,1.5' \
    -stroke none "$@" "$work/$file.png"
  bmp "$work/$file.png" "$out/$file.bmp"
}
# Glyph colour and offset per state.
glyph_ink() { case $1 in normal) echo 'rgb(0,0,0)' ;; hover) echo 'rgb(112,112,112)' ;; pressed) echo 'rgb(0,0,0)' ;; esac; }
glyph_dx() { [ "$1" = pressed ] && echo 1 || echo 0; }

under 398 350 32 30 bg_play
under 435 350 32 30 bg_stop
under 716 350 32 30 bg_full_screen
for state in normal hover pressed; do
  suffix=$([ "$state" = normal ] || echo "_$state")
  ink=$(glyph_ink $state)
  d=$(glyph_dx $state)
  playback_face bg_play $state "play$suffix" -fill "$ink" \
    -draw "polygon $((11 + d)),$((8 + d)) $((11 + d)),$((20 + d)) $((21 + d)),$((14 + d))"
  playback_face bg_play $state "pause$suffix" -fill "$ink" \
    -draw "rectangle $((10 + d)),$((8 + d)) $((12 + d)),$((19 + d))" \
    -draw "rectangle $((16 + d)),$((8 + d)) $((18 + d)),$((19 + d))"
  playback_face bg_stop $state "stop$suffix" -fill "$ink" \
    -draw "rectangle $((10 + d)),$((9 + d)) $((18 + d)),$((18 + d))"
  playback_face bg_full_screen $state "full_screen$suffix" -fill "$ink" \
    -font "$font" -pointsize 15 -annotate "+$((7 + d))+$((20 + d))" '全'
done

# ---- Position slider: track 156 x 16 (shown 156 x 15), thumb 9 x 4 -----------
# The thumb is drawn 6 rows below the top of the track bar's thumb rectangle,
# that is rows 8-11 of the control; the groove holds it.
under 485 356 156 16 bg_track
convert "$work/bg_track.png" \
  \( -size 156x16 gradient:'rgb(238,238,234)-rgb(196,196,190)' \) \
  \( -size 156x16 xc:black -fill white -draw 'roundrectangle 0.5,4.5 155.5,14.5 4,4' \) \
  -composite \
  -fill none -stroke 'rgb(118,116,110)' -strokewidth 1 -draw 'roundrectangle 0.5,4.5 155.5,14.5 4,4' \
  -stroke none +antialias \
  -fill 'rgb(96,96,92)' -draw 'rectangle 4,7 151,7' \
  -fill 'rgb(40,40,38)' -draw 'rectangle 4,8 151,11' \
  -fill 'rgb(250,250,248)' -draw 'rectangle 4,12 151,12' \
  "$work/slider_track.png"
bmp "$work/slider_track.png" "$out/slider_track.bmp"
convert -size 9x4 xc:'rgb(30,100,210)' +antialias \
  -fill 'rgb(150,205,255)' -draw 'rectangle 0,0 8,0' \
  -fill 'rgb(60,140,235)' -draw 'rectangle 0,1 8,1' \
  -fill 'rgb(16,70,170)' -draw 'rectangle 0,3 8,3' \
  "$work/slider_thumb.png"
bmp "$work/slider_thumb.png" "$out/slider_thumb.bmp"

# ---- Volume control, 62 x 20 on the grey strip at (648,355) ----------------------
# A speaker in columns 0-17 and a track in columns 20-59, which the player
# fills from the level bitmap up to the level; the speaker is crossed out
# while muted.
# The strip behind it is the same in every column; the name engraved at
# (656,368) stays under the control.
under 490 355 62 20 bg_volume
speaker=(-fill 'rgb(40,40,38)' -draw 'rectangle 3,7 6,12' -draw 'polygon 6,7 11,3 11,16 6,12')
groove() { # fill colour
  echo -fill none -stroke "'rgb(118,116,110)'" -draw "'roundrectangle 20.5,6.5 59.5,13.5 3,3'" \
    -stroke none -fill "'$1'" -draw "'rectangle 22,8 58,12'"
}
eval convert '"$work/bg_volume.png"' +antialias '"${speaker[@]}"' -fill "'rgb(40,40,38)'" \
  -draw "'rectangle 13,8 13,11'" -draw "'rectangle 15,6 15,13'" "$(groove 'rgb(60,60,58)')" '"$work/volume.png"'
eval convert '"$work/bg_volume.png"' +antialias '"${speaker[@]}"' -stroke "'rgb(200,30,30)'" -strokewidth 2 \
  -draw "'line 12,6 17,13'" -draw "'line 17,6 12,13'" -stroke none "$(groove 'rgb(60,60,58)')" \
  '"$work/volume_muted.png"'
eval convert '"$work/bg_volume.png"' +antialias "$(groove 'rgb(40,130,230)')" '"$work/volume_level.png"'
for face in volume volume_muted volume_level; do bmp "$work/$face.png" "$out/$face.bmp"; done

# ---- Mode button, 10 x 17 (shown 9 x 17) on the bar ----------------------------
# Column 0 carries the bar's edge line on; the triangle points to the mode
# the click leads to.
under 378 194 10 17 bg_mode
convert "$work/bg_mode.png" +antialias -fill 'rgb(0,51,102)' \
  -draw 'polygon 3,4 3,12 7,8' "$work/mode_full.png"
convert "$work/bg_mode.png" +antialias -fill 'rgb(0,51,102)' \
  -draw 'polygon 7,4 7,12 3,8' "$work/mode_play.png"
bmp "$work/mode_full.png" "$out/mode_full.bmp"
bmp "$work/mode_play.png" "$out/mode_play.bmp"

python3 "$here/check-player-art.py" "$out"
echo "player art written to $out"
