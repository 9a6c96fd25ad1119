#!/usr/bin/env bash
# Crash recovery end to end, under an X server of its own: the program opens a Shift_JIS
# page, keys are typed into it, and after the 30-second copy interval it is killed with SIGKILL
# in the middle of typing. The next start asks "確認" (screenshot into the build folder); Enter
# restores the text into a modified window titled with the page's path; Ctrl+S writes it in the
# page's own encoding and line ends; a normal exit leaves no recovery file and no lock behind.
set -euo pipefail
source "$(dirname "$0")/x-session.sh"
begin_session "$@"
state="$XDG_STATE_HOME/quorveljs"

# <p>日本語</p> in Shift_JIS (CP932) with CR LF.
page="$work/page.html"
printf '<p>\x93\xfa\x96\x7b\x8c\xea</p>\r\n' >"$page"
cd "$work"

title="Quorvel for JavaScript v.1.46"
frame_window() {
  timeout 60 xdotool search --sync --all --pid "$pid" --name "^${title//./\\.} ?\$" | head -n 1
}

"$program" "$page" &
pid=$!
frame_window >/dev/null
sleep 2
xdotool type --delay 30 "kept "
# The copy comes within 30 s of the typing; a key stroke after it is what a kill may lose.
for _ in $(seq 1 70); do
  compgen -G "$state/*.qjsrec" >/dev/null && break
  sleep 1
done
if ! compgen -G "$state/*.qjsrec" >/dev/null; then
  echo "no recovery copy was written" >&2
  exit 1
fi
sleep 1
xdotool type --delay 30 "Z"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=

"$program" &
pid=$!
if ! question=$(timeout 60 xdotool search --sync --all --pid "$pid" --name "^確認\$" | head -n 1); then
  echo "no recovery question appeared; running: $(kill -0 "$pid" 2>/dev/null && echo yes || echo no)" >&2
  echo "windows: $(xdotool search --all --pid "$pid" --name . getwindowname %@ 2>/dev/null | tr '\n' '|')" >&2
  ls -la "$state" >&2
  import -window root "$shots/e2e-recovery-no-question.png"
  exit 1
fi
sleep 1
import -window root "$shots/e2e-recovery-question.png"
xdotool windowfocus --sync "$question"
xdotool key Return
wait_focus "^${title//./\\.}" "$shots/e2e-recovery-not-focused.png" || exit 1
sleep 1
import -window root "$shots/e2e-recovery-restored.png"

# The keyboard is the frame's once the question is gone.
xdotool key ctrl+s
expected=$(printf 'kept <p>\x93\xfa\x96\x7b\x8c\xea</p>\r\n' | od -An -tx1)
for _ in $(seq 1 100); do
  actual=$(od -An -tx1 "$page")
  [[ "$actual" == "$expected" ]] && break
  sleep 0.1
done
if [[ "$actual" != "$expected" ]]; then
  echo "the restored and saved page differs:" >&2
  od -c "$page" >&2
  exit 1
fi

quit_through_menu "$shots/e2e-recovery-not-quit.png" || exit 1
if compgen -G "$state/*" >/dev/null; then
  echo "left in the recovery folder after a normal exit: $(ls "$state")" >&2
  exit 1
fi
echo "killed after the copy interval: restored, saved in Shift_JIS, nothing left after exit"
