#!/usr/bin/env bash
# End to end under an X server of its own: the editor starts with a Japanese file named on
# its command line and shows it; a second start hands another file over and ends at once; the
# open dialog is shown and, closed, gives the keyboard back to the frame; screenshots go to the
# build folder; the program quits through ファイル > 終了 and leaves the files as they were.
set -euo pipefail
source "$(dirname "$0")/x-session.sh"
begin_session "$@"

# 「日本語のページ」 in Shift_JIS (CP932) with CR LF, and a UTF-8 script.
page="$work/日本語のページ.html"
printf '<html>\r\n<head><title>\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x79\x81\x5b\x83\x57</title></head>\r\n<body>\r\n<script>\r\ndocument.write("\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd");\r\n</script>\r\n</body>\r\n</html>\r\n' >"$page"
script="$work/スクリプト.js"
printf 'alert("こんにちは");\n' >"$script"
cp "$page" "$work/page.orig"
cp "$script" "$work/script.orig"

cd "$work"
"$program" "$page" &
pid=$!
# The caption piece of the title is empty until a window is maximised: a blank follows the name.
title="Quorvel for JavaScript v.1.46"
if ! win=$(timeout 60 xdotool search --sync --all --pid "$pid" --name "^${title//./\\.} ?\$" | head -n 1); then
  echo "no window titled \"$title\" appeared" >&2
  exit 1
fi
echo "window $win: $(xdotool getwindowname "$win")"
sleep 2

# A second start with a relative path ends at once, without a window of its own.
start=$(date +%s)
timeout 30 "$program" "スクリプト.js"
echo "second start ended with status 0 after $(($(date +%s) - start)) s"
sleep 2
import -window root "$shots/e2e-frame.png"

# No window manager here: the frame takes the keyboard itself when it starts.
xdotool key ctrl+o
sleep 2
import -window root "$shots/e2e-open-dialog.png"
xdotool key Escape
sleep 1

# Closing the dialog gives the keyboard back to the frame, window manager or not.
xdotool key alt+f
sleep 1
import -window root "$shots/e2e-file-menu.png"
xdotool key Escape
sleep 0.5
quit_through_menu "$shots/e2e-not-quit.png" || exit 1
cmp "$page" "$work/page.orig"
cmp "$script" "$work/script.orig"
echo "quit through the menu; files unchanged; screenshots in $shots"
