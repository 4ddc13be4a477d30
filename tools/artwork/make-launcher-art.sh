#!/usr/bin/env bash
# Draws the launcher's bitmaps and icon with ImageMagick (6) and the
# WenQuanYi Micro Hei font, into resources/launcher/. The results are
# committed; the build does not run this.
#
#   tools/artwork/make-launcher-art.sh [OUTPUT_DIR]
#
# Sizes are fixed by the launcher's window: the picture 150 (340 x 237) with
# the progress bar at (17, 153) 306 x 14, the Cancel button at (245, 203)
# 77 x 23 and the sweep band at (3, 61) 334 x 5.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../resources/launcher}
mkdir -p "$out"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || { echo "needs fonts-wqy-microhei ($font)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 24-bit Windows bitmaps (no alpha, no colour table).
bmp() { convert "$1" -background black -alpha remove -alpha off -type TrueColor "BMP3:$2"; }

# ---- 150: the window picture, 340 x 237
convert -size 340x237 xc:'rgb(232,238,246)' \
  \( -size 340x26 gradient:'rgb(52,118,196)-rgb(22,62,128)' \) -geometry +0+0 -composite \
  -fill 'rgb(128,184,240)' -draw 'line 0,0 339,0' \
  -fill 'rgb(12,36,80)' -draw 'line 0,25 339,25' \
  \( -size 340x35 gradient:'rgb(40,50,70)-rgb(18,24,38)' \) -geometry +0+26 -composite \
  -fill 'rgb(10,16,28)' -draw 'rectangle 0,60 339,66' \
  -fill 'rgb(24,56,108)' -draw 'rectangle 3,61 336,65' \
  \( -size 340x124 gradient:'rgb(248,250,253)-rgb(221,229,240)' \) -geometry +0+67 -composite \
  \( -size 340x46 gradient:'rgb(218,222,228)-rgb(184,190,199)' \) -geometry +0+191 -composite \
  -fill 'rgb(160,168,180)' -draw 'line 0,190 339,190' \
  -fill 'rgb(250,251,252)' -draw 'line 0,191 339,191' \
  -fill 'rgb(120,128,140)' -draw 'line 0,236 339,236' \
  "$work/back.png"

# Title band ornament: three small dots on the right, clear of the caption text.
convert "$work/back.png" \
  -fill 'rgba(255,255,255,0.55)' -draw 'circle 318,13 320,13' \
  -fill 'rgba(255,255,255,0.35)' -draw 'circle 309,13 311,13' \
  -fill 'rgba(255,255,255,0.20)' -draw 'circle 300,13 302,13' \
  "$work/back.png"

# "更新状态" band: a refresh glyph and the title.
convert "$work/back.png" \
  -stroke 'rgb(110,190,255)' -strokewidth 2 -fill none -draw 'arc 13,35 27,49 200,500' \
  -stroke none -fill 'rgb(110,190,255)' -draw 'polygon 25,34 29,40 22,41' \
  -font "$font" -pointsize 13 -fill 'rgb(236,242,250)' -annotate +35+48 '更新状态' \
  -pointsize 10 -fill 'rgb(130,146,170)' -annotate +265+48 'UPDATE' \
  "$work/back.png"

# The sentence, the word "升级" over the bar, and a hairline around the bar.
convert "$work/back.png" \
  -font "$font" -pointsize 12 -fill 'rgb(44,56,78)' \
  -annotate +17+92 '升级程序正在执行您所请求的操作，请稍候……' \
  -pointsize 11 -fill 'rgb(104,116,136)' \
  -annotate +17+112 '更新完成后将自动启动 Kavuno 播放器。' \
  -pointsize 13 -fill 'rgb(30,92,168)' -annotate +17+146 '升级' \
  -fill none -stroke 'rgb(176,190,210)' -draw 'rectangle 15,151 324,168' \
  "$work/back.png"

# Bottom band: the product name and the recessed slot of the Cancel button.
convert "$work/back.png" \
  -font "$font" -pointsize 14 -fill 'rgb(70,80,96)' -annotate +17+220 'Kavuno 影院' \
  -pointsize 9 -fill 'rgb(110,118,130)' -annotate +108+220 '在线电影' \
  -fill 'rgb(150,158,170)' -draw 'rectangle 242,200 324,228' \
  -fill 'rgb(112,120,134)' -draw 'line 242,200 324,200' -draw 'line 242,200 242,228' \
  -fill 'rgb(246,248,250)' -draw 'line 243,228 324,228' -draw 'line 324,201 324,228' \
  "$work/back.png"
bmp "$work/back.png" "$out/background.bmp"

# ---- 130 / 131: the Cancel button, 77 x 22
button() { # top-colour bottom-colour text-offset file
  # The rounded corners show the slot's grey behind the face.
  convert -size 77x22 xc:'rgb(150,158,170)' \
    \( -size 77x22 gradient:"$1-$2" \) \
    \( -size 77x22 xc:black -fill white -draw 'roundrectangle 0,0 76,21 3,3' \) \
    -composite \
    -fill none -stroke 'rgb(104,122,150)' -draw 'roundrectangle 0,0 76,21 3,3' \
    -stroke 'rgba(255,255,255,0.8)' -draw 'line 2,1 74,1' \
    -stroke none -font "$font" -pointsize 12 -fill 'rgb(28,38,58)' \
    -gravity center -annotate "+$3+$3" '取消' "$work/$4.png"
  bmp "$work/$4.png" "$out/$4.bmp"
}
button 'rgb(255,255,255)' 'rgb(218,226,238)' 0 cancel
button 'rgb(196,208,226)' 'rgb(226,233,243)' 1 cancel_pressed

# ---- 139 144 136 141 138 145: the sweep, 334 x 5, light moving left to right
for i in 0 1 2 3 4 5; do
  centre=$(( 28 + i * 278 / 5 ))
  convert -size 334x5 xc:black -fx \
    "g=exp(-((i-$centre)/40)^2); v=1-abs(j-2)/3; r=(24+116*g*v)/255; \
     u=(56+144*g*v)/255; w=(108+147*g*v)/255; \
     (channel(r,u,w,0,0))" "$work/sweep.png" 2>/dev/null || \
  convert -size 334x5 xc:black \
    -channel R -fx "(24+116*exp(-((i-$centre)/40)^2)*(1-abs(j-2)/3))/255" \
    -channel G -fx "(56+144*exp(-((i-$centre)/40)^2)*(1-abs(j-2)/3))/255" \
    -channel B -fx "(108+147*exp(-((i-$centre)/40)^2)*(1-abs(j-2)/3))/255" \
    +channel "$work/sweep.png"
  bmp "$work/sweep.png" "$out/sweep_$((i + 1)).bmp"
done

# ---- 151: the track, 320 x 15: white field, grey top and bottom edges
convert -size 320x15 xc:white \
  -fill 'rgb(150,156,166)' -draw 'line 0,0 319,0' -draw 'line 0,14 319,14' \
  -fill 'rgb(206,210,218)' -draw 'line 0,1 319,1' -draw 'line 0,13 319,13' \
  -fill 'rgb(236,239,244)' -draw 'line 0,2 319,2' \
  "$work/track.png"
bmp "$work/track.png" "$out/progress_track.bmp"

# ---- 152: the fill pattern, 6 x 9: horizontal green stripes
rows=('rgb(56,150,48)' 'rgb(148,226,126)' 'rgb(118,212,98)' 'rgb(160,232,140)' 'rgb(98,196,80)'
      'rgb(132,218,112)' 'rgb(78,178,62)' 'rgb(110,200,92)' 'rgb(62,160,52)')
args=()
for y in "${!rows[@]}"; do args+=(-fill "${rows[$y]}" -draw "line 0,$y 5,$y"); done
convert -size 6x9 xc:black "${args[@]}" "$work/bar.png"
bmp "$work/bar.png" "$out/progress_bar.bmp"

# ---- 128: the icon: a blue rounded square with a white arrow into a tray
convert -size 256x256 xc:none \
  \( -size 256x256 gradient:'rgb(92,168,240)-rgb(22,70,150)' \) \
  \( -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 48,48' \) \
  -delete 0 -compose DstIn -composite -compose Over \
  -fill none -stroke 'rgb(10,40,96)' -strokewidth 8 -draw 'roundrectangle 8,8 247,247 48,48' \
  -stroke none -fill white -draw 'rectangle 110,48 146,128' -draw 'polygon 76,122 180,122 128,178' \
  -fill none -stroke white -strokewidth 16 -draw 'polyline 60,160 60,204 196,204 196,160' \
  "$work/icon-256.png"
for s in 48 32 16; do convert "$work/icon-256.png" -resize ${s}x${s} "$work/icon-$s.png"; done
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$out/kavunoup.ico"

echo "launcher art written to $out"
