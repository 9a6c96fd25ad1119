#!/usr/bin/env bash
# Installed as a user's desktop installs it: `cmake --install` of the build into a temporary
# root, the desktop entry and the AppStream description valid under their validators, every
# file in its place, and the installed program started with a file by the command of its menu
# entry, on an X server. Arguments: the build folder, the folder for screenshots.
set -euo pipefail
build=$1
source "$(dirname "$0")/x-session.sh"
begin_session "$build/app/quorveljs" "${2:-.}"

root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
entry="$share/applications/jp.quorvel.quorveljs.desktop"
for file in "$root/usr/bin/quorveljs" "$entry" "$share/metainfo/jp.quorvel.quorveljs.metainfo.xml" \
  "$share/icons/hicolor/scalable/apps/quorveljs.svg" "$share/man/man1/quorveljs.1"; do
  [[ -s "$file" ]] || { echo "not installed: $file" >&2; exit 1; }
done
for size in 48 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/quorveljs.png"
  [[ "$(identify -format '%wx%h' "$png")" == "${size}x${size}" ]] ||
    { echo "$png is not ${size}x${size}" >&2; exit 1; }
done
desktop-file-validate "$entry"
appstreamcli validate --no-net "$share/metainfo/jp.quorvel.quorveljs.metainfo.xml"

# The menu entry's command with a file for %F, from the installed folder.
page="$work/ページ.html"
printf '<p>こんにちは</p>\n' >"$page"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[[ "$exec_line" == "quorveljs %F" ]] || { echo "unexpected Exec=$exec_line" >&2; exit 1; }
PATH="$root/usr/bin:$PATH" quorveljs "$page" &
pid=$!
if ! timeout 60 xdotool search --sync --all --pid "$pid" --name "^Quorvel for JavaScript" >/dev/null; then
  echo "the installed program showed no window" >&2
  exit 1
fi
import -window root "$shots/installed-frame.png"
quit_through_menu "$shots/installed-not-quit.png" || exit 1
echo "installed, validated, started and quit"
