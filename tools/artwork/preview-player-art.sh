#!/usr/bin/env bash
# Composes the player's window from its bitmaps as the program shows it: the
# skin, every button face clipped to its control, the slider, and stand-ins for
# the texts and controls the program paints itself (caption, labels, edit,
# combo box, tree, list, video area, status line, time display). The key colour
# is cut away over a desktop pattern.
#
#   tools/artwork/preview-player-art.sh [RESOURCE_DIR] [OUTPUT_DIR]
#
# Writes OUTPUT_DIR (default build/art-preview) full.png and play.png, the
# same with the controls outlined (-outlined), and a 3x close-up of the
# title-bar buttons and of the playback row in each face.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
res=$(cd "${1:-$here/../../resources/player}" && pwd)
out=${2:-build/art-preview}
mkdir -p "$out"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
caption_font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$caption_font" ] || caption_font=$font
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Controls: name x y width height (window pixels).
controls=(
  "topmost 653 2 23 23" "minimize 680 3 23 23" "maximize 704 3 23 23" "close 728 3 23 23"
  "search_label 24 38 36 15" "search_edit 62 35 86 18" "search 150 35 23 20"
  "type_label 177 38 60 12" "type_combo 239 35 75 20" "help 698 39 32 12"
  "tree 3 66 117 326" "list 123 65 252 327" "mode 378 194 9 17" "video 392 68 360 255"
  "status 392 329 246 12" "time 644 329 107 12" "play 398 350 30 29" "stop 435 350 30 29"
  "slider 485 356 156 15" "full_screen 716 350 30 29"
)

# A face at a control, clipped to the control's size.
face() { # image x y w h
  echo "( $res/$1.bmp -crop $4x$5+0+0 +repage ) -geometry +$2+$3 -composite"
}

compose() { # mode play|pause hover-set output
  local mode=$1 glyph=$2 hover=$3 output=$4 caption_x=10 mode_image=mode_full
  [ "$mode" = play ] && caption_x=385 && mode_image=mode_play
  suffix() { case " $hover " in *" $1 "*) echo _hover ;; esac; }
  local skin="$res/skin_full.bmp"
  [ "$mode" = play ] && skin="$res/skin_play.bmp"
  # shellcheck disable=SC2046
  convert "$skin" -alpha off \
    $(face "topmost$(suffix topmost)" 653 2 23 23) \
    $(face "minimize$(suffix minimize)" 680 3 23 23) \
    $(face maximize 704 3 23 23) \
    $(face "close$(suffix close)" 728 3 23 23) \
    $(face search 150 35 23 20) \
    $(face $mode_image 378 194 9 17) \
    $(face "$glyph$(suffix play)" 398 350 30 29) \
    $(face "stop$(suffix stop)" 435 350 30 29) \
    $(face "full_screen$(suffix full_screen)" 716 350 30 29) \
    $(face slider_track 485 356 156 15) \
    $(face slider_thumb 530 364 9 4) \
    -font "$caption_font" -pointsize 10 -fill white -annotate "+$caption_x+17" 'Kavuno  --  www.example.com' \
    -font "$font" -pointsize 12 -fill white \
    -annotate +24+50 '条件：' -annotate +177+50 '搜索类型：' -annotate +698+50 '帮 助' \
    -fill 'rgb(0,51,102)' -stroke 'rgb(122,152,188)' -draw 'rectangle 62,35 147,52' -stroke none \
    -fill white -annotate +66+49 '灯塔' \
    -fill 'rgb(244,246,250)' -stroke 'rgb(122,152,188)' -draw 'rectangle 239,35 313,54' -stroke none \
    -fill 'rgb(30,30,30)' -annotate +243+50 '片名' -draw 'polygon 300,43 308,43 304,47' \
    -fill white -annotate +22+80 '电影' -annotate +34+98 '动作' -annotate +34+116 '喜剧' \
    -annotate +34+134 '科幻' -annotate +22+152 '电视剧' -annotate +22+170 '动画' \
    -fill 'rgb(236,236,236)' -draw 'rectangle 123,65 374,83' \
    -fill 'rgb(40,40,40)' -annotate +128+79 '片名' -annotate +300+79 '演员' \
    -fill white -annotate +128+100 '灯塔邮差' -annotate +300+100 '林小满' \
    -annotate +128+118 '灯塔下的琴声' -annotate +300+118 '顾远舟' \
    -fill 'rgb(49,106,197)' -draw 'rectangle 123,122 374,139' \
    -fill white -annotate +128+136 '灯塔镇日记' -annotate +300+136 '沈一禾' \
    -fill white -draw 'rectangle 392,68 751,322' \
    -fill 'rgb(30,80,150)' -pointsize 16 -annotate +420+110 'Kavuno 在线影院' \
    -fill 'rgb(90,90,90)' -pointsize 12 -annotate +420+140 '最新上映 · 热门推荐 · 经典回顾' \
    -fill white -annotate +392+340 '长时间观看注意眼睛休息！！' -annotate +645+340 '00:00:00/00:00:00' \
    "$work/window.png"
  # Cut the skin's key colour away (the window region) and lay the window on a
  # desktop pattern; the window is 759 pixels wide.
  convert "$skin" -alpha off -fill black +opaque 'rgb(255,255,0)' -fill white -opaque 'rgb(255,255,0)' \
    -negate "$work/region.png"
  convert -size 800x440 pattern:checkerboard -fill 'rgb(60,110,90)' -colorize 75% \
    \( "$work/window.png" "$work/region.png" -alpha off -compose CopyOpacity -composite \
       -crop 759x396+0+0 +repage \) -compose Over -geometry +20+22 -composite "$output"
}

outlined() { # input output
  local args=() c
  for c in "${controls[@]}"; do
    read -r _ x y w h <<<"$c"
    args+=(-draw "rectangle $((x + 20)),$((y + 22)) $((x + w - 1 + 20)),$((y + h - 1 + 22))")
  done
  convert "$1" -fill none -stroke 'rgba(255,0,200,0.8)' +antialias "${args[@]}" "$2"
}

compose full play "" "$out/full.png"
compose play pause "" "$out/play.png"
compose full pause "close minimize topmost play stop full_screen" "$out/full-hover.png"
outlined "$out/full.png" "$out/full-outlined.png"
outlined "$out/play.png" "$out/play-outlined.png"

# Close-ups, 3x: title buttons and playback row in each face.
row=()
for s in "" _hover _pressed; do
  row+=("(" "$res/topmost$s.bmp" "$res/minimize$s.bmp" "$res/maximize.bmp" "$res/close$s.bmp" +append ")")
done
convert "${row[@]}" -append -scale 300% "$out/title-buttons.png"
row=()
for s in "" _hover _pressed; do
  row+=("(" "$res/play$s.bmp" "$res/pause$s.bmp" "$res/stop$s.bmp" "$res/full_screen$s.bmp"
        "$res/search${s/_hover/}.bmp" "$res/mode_full.bmp" "$res/mode_play.bmp" +append ")")
done
convert "${row[@]}" -background white -append -scale 300% "$out/playback-buttons.png"
echo "previews in $out"
