#!/usr/bin/env bash
# Encodings end to end, with the keyboard only, under an X server of its own: a UTF-8 page
# is saved through 名前をつけて保存 as Shift_JIS with CR LF, reopened as UTF-8 (its bytes shown,
# not changed), reopened as Shift_JIS, saved as EUC-JP with LF; a character EUC-JP cannot hold
# stops Ctrl+S with a message and leaves the file as it was. Each file is compared byte for byte
# with iconv's conversion of the same text.
set -euo pipefail
source "$(dirname "$0")/x-session.sh"
begin_session "$@"
cd "$work"

text='<p>日本語のページ ①②</p>\n<script>alert("こんにちは");</script>\n'
printf "$text" >page.html

# Compares file $1 with the text converted by iconv to $2 with line ends $3 (printf escapes). The
# keyboard comes back to the frame as the dialog closes, before the file is written: the file is
# waited for for up to 30 s.
expect_bytes() {
  printf "$text" | awk -v e="$3" '{ printf "%s%s", $0, e }' | iconv -f UTF-8 -t "$2" >"$work/expected"
  for _ in $(seq 1 300); do
    cmp -s "$1" "$work/expected" && break
    sleep 0.1
  done
  if ! cmp -s "$1" "$work/expected"; then
    echo "$1 is not the text in $2:" >&2
    od -c "$1" | head -n 8 >&2 || true
    import -window root "$failed"
    exit 1
  fi
}

failed="$shots/e2e-encodings-failed.png"
frame="^Quorvel for JavaScript v\.1\.46"

# Chooses entry $2 (counted from 0) of the choice box behind the mnemonic alt+$1.
choose() {
  xdotool key "alt+$1" Home
  for _ in $(seq 1 "$2"); do xdotool key Down; done
}

"$program" page.html &
pid=$!
wait_focus "$frame" "$failed" || exit 1

# 名前をつけて保存: Shift_JIS (CP932), CR LF.
xdotool key alt+f a
wait_focus "^名前を付けて保存\$" "$failed" || exit 1
xdotool key ctrl+a
xdotool type --delay 20 "sjis.html"
choose e 2
choose l 0
sleep 0.5
import -window root "$shots/e2e-encodings-save-as.png"
xdotool key Return
wait_focus "$frame" "$failed" || exit 1
expect_bytes sjis.html CP932 '\r\n'

# Reopened as UTF-8 the bytes stay as they are; a save would write them back unchanged.
xdotool key alt+f r
wait_focus "^文字コードを指定して開き直す\$" "$failed" || exit 1
choose e 0
xdotool key Return
wait_focus "$frame" "$failed" || exit 1
sleep 0.5
import -window root "$shots/e2e-encodings-reopened-utf8.png"
expect_bytes sjis.html CP932 '\r\n'

# Reopened as Shift_JIS, then saved as EUC-JP with LF.
xdotool key alt+f r
wait_focus "^文字コードを指定して開き直す\$" "$failed" || exit 1
choose e 2
xdotool key Return
wait_focus "$frame" "$failed" || exit 1
xdotool key alt+f a
wait_focus "^名前を付けて保存\$" "$failed" || exit 1
xdotool key ctrl+a
xdotool type --delay 20 "euc.html"
choose e 3
choose l 1
xdotool key Return
wait_focus "$frame" "$failed" || exit 1
expect_bytes euc.html EUC-JP-MS '\n'

# A character EUC-JP cannot hold: the save stops with a message, the file stays as it was.
cp euc.html euc.before
xdotool key ctrl+End
# Pasted, not typed: xdotool types a character the keyboard map lacks by mapping a spare key for
# a moment, and the program can read the map after it was taken back and get nothing.
printf '한' | xclip -selection clipboard
for _ in $(seq 1 100); do
  [[ "$(xclip -o -selection clipboard 2>/dev/null)" == 한 ]] && break
  sleep 0.1
done
xdotool key ctrl+v ctrl+s
wait_focus "^エラー\$" "$failed" || exit 1
sleep 0.5
import -window root "$shots/e2e-encodings-unencodable.png"
xdotool key Return
wait_focus "$frame" "$failed" || exit 1
cmp euc.html euc.before
xdotool key ctrl+z
sleep 0.5

quit_through_menu "$shots/e2e-encodings-not-quit.png" || exit 1
cmp page.html <(printf "$text")
echo "saved as Shift_JIS CR LF and EUC-JP LF byte for byte; reopened as UTF-8 and Shift_JIS; an unencodable character wrote nothing"
