#!/usr/bin/env bash
# End to end under a window manager: at a first start and at a start from the stored placements
# the frame's title bar is on the screen, and both snippet windows are drawn over the frame and
# take the mouse where they are. Screenshots go to the build folder.
set -euo pipefail
source "$(dirname "$0")/x-session.sh"
begin_session "$@"
cd "$work"

title="Quorvel for JavaScript v.1.46"
find_window() {
  timeout 60 xdotool search --sync --all --pid "$pid" --name "$1" | head -n 1
}

# The top of the window manager's frame around window $1, in screen coordinates.
frame_top() {
  local Y extents
  eval "$(xdotool getwindowgeometry --shell "$1" | grep '^Y=')"
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p')
  echo $((Y - $(cut -d, -f3 <<<"${extents:-0,0,0,0}")))
}

# The window among the root window's children that holds window $1: the window manager's frame
# around it (a frame without decorations too), or $1 itself without a window manager.
outermost() {
  local w=$1 tree
  while tree=$(xwininfo -tree -id "$w") && ! grep -q 'Parent window id: .*(the root window)' <<<"$tree"; do
    w=$(sed -n 's/.*Parent window id: \(0x[0-9a-fA-F]*\).*/\1/p' <<<"$tree")
  done
  echo $((w))
}

# Window $1 named $2 is under the mouse at the middle of its caption (or the other snippet
# window $4 is), and the caption shows more than one colour (its text over the gradient).
check_drawn() {
  local X Y WIDTH HEIGHT WINDOW SCREEN x y colours
  eval "$(xdotool getwindowgeometry --shell "$1")"
  x=$((X + WIDTH / 2))
  y=$((Y + 8))
  # Not --sync: it waits for a motion that never comes when the pointer is already there, as
  # it is when a check is repeated.
  xdotool mousemove "$x" "$y"
  for _ in $(seq 1 50); do
    eval "$(xdotool getmouselocation --shell)"
    ((X == x && Y == y)) && break
    sleep 0.1
  done
  # The pointer's window is the root window's child under it: this window, or the other
  # snippet window ($4) when the window manager put that one over this one's caption (the two
  # are tool windows of the same frame; what must not happen is the frame above them).
  if [[ "$WINDOW" != "$(outermost "$1")" && "$WINDOW" != "$(outermost "$4")" ]]; then
    echo "$2: the mouse at its caption is over window $WINDOW, not $1" >&2
    return 1
  fi
  colours=$(convert "$3" -crop "${WIDTH}x12+${X}+${Y}" +repage -unique-colors -format '%w' info:)
  if ((colours < 2)); then
    echo "$2: its caption is not drawn ($colours colour)" >&2
    return 1
  fi
}

check_start() {
  local frame selector setting shot=$shots/e2e-wm-$1.png
  frame=$(find_window "^${title//./\\.} ?\$")
  selector=$(find_window "したい事の選択")
  setting=$(find_window "セッティング")
  wait_focus "^${title//./\\.}" "$shot" || return 1
  # Drawing follows the mapping: the checks are repeated on new screenshots for up to 20 s.
  for _ in $(seq 1 100); do
    import -window root "$shot"
    check_drawn "$selector" "したい事の選択" "$shot" "$setting" 2>/dev/null &&
      check_drawn "$setting" "セッティング" "$shot" "$selector" 2>/dev/null && break
    sleep 0.2
  done
  check_drawn "$selector" "したい事の選択" "$shot" "$setting" || return 1
  check_drawn "$setting" "セッティング" "$shot" "$selector" || return 1
  local top
  top=$(frame_top "$frame")
  if ((top < 0)); then
    echo "$1: the frame's title bar starts at y = $top, off the screen" >&2
    return 1
  fi
  echo "$1: frame at y = $top, snippet windows drawn and under the mouse"
}

"$program" &
pid=$!
check_start first || exit 1
quit_through_menu "$shots/e2e-wm-not-quit.png" || exit 1

# The placements stored at the end come back with the title bar still on the screen.
"$program" &
pid=$!
check_start restored || exit 1
quit_through_menu "$shots/e2e-wm-not-quit.png" || exit 1
