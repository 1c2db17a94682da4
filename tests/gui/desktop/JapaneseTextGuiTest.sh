#!/bin/bash
# The program's Japanese messages are drawn in a Japanese font, not as rows
# of boxes: a start without settings.json shows message 58100, whose text is
# Japanese. The box is pictured twice, once with the fonts this machine has
# and once with every Japanese-capable font hidden from fontconfig, which
# leaves only the boxes of missing glyphs; everything else on the screen is
# drawn by the same fonts, so the two pictures are the same exactly when the
# Japanese font was not used. Skipped (77) where no such font is installed.
#   JapaneseTextGuiTest.sh <vellumview> <runtime folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=japanese
program=$1
runtime=$2

if [ -z "$(fc-list :lang=ja family)" ]; then
  echo "SKIP: no font for Japanese is installed (fc-list :lang=ja finds none; scripts/install-deps installs one)"
  exit 77
fi

. "$here/../support/GuiTestSupport.sh"
gui_setup
# The folder is the working directory and has no settings.json.
cat > "$work/no-japanese.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><pattern><patelt name="lang"><string>ja</string></patelt></pattern></rejectfont></selectfont>
</fontconfig>
CONF

# Pictures the message box of one start into $1; the other arguments go to env.
picture() {
  local file=$1
  shift
  : > "$trace"
  start_program "$@"
  wait_for '^messagebox-shown 設定ファイルを読み込めません : 0x80070002$'
  local box
  box=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
  [ -n "$box" ] || fail "message box window not found"
  # The box is mapped before it is drawn; the picture is taken once two in
  # a row agree.
  local last= shot
  for _ in $(seq 1 50); do
    shot=$(import -window "$box" png:- | md5sum)
    [ "$shot" = "$last" ] && break
    last=$shot
    sleep 0.2
  done
  import -window "$box" "$file"
  confirm_message_box
  finish 0
}

picture "$work/with-font.png" FONTCONFIG_FILE="${FONTCONFIG_FILE:-/etc/fonts/fonts.conf}"
picture "$work/boxes.png" FONTCONFIG_FILE="$work/no-japanese.conf"
[ -n "${VELLUM_KEEP_SCREENSHOTS:-}" ] && cp "$work/with-font.png" "$work/boxes.png" "$VELLUM_KEEP_SCREENSHOTS/"
differing=$(compare -metric AE "$work/with-font.png" "$work/boxes.png" null: 2>&1 | cut -d' ' -f1)
# Pictures of different sizes cannot be compared and are plainly different.
case $differing in
  0) fail "the Japanese text looks the same as without a Japanese font: boxes" ;;
  *[!0-9.e+]*) ;;
esac
echo "japanese text: drawn in $(fc-match -f '%{family[0]}' 'sans:lang=ja') ($differing pixels differ from boxes)"
