# What the end-to-end scripts share; sourced, not run.

# Takes the program and the folder for screenshots ($shots) from the arguments, makes a fresh
# folder ($work) the home and every XDG folder, and on exit kills the program if it still runs
# ($pid) and removes the folder. The program runs as a copy in that folder ($program): it keeps
# its settings beside itself where it may write, and a run must not find another run's there.
begin_session() {
  shots=${2:-.}
  mkdir -p "$shots"
  work=$(mktemp -d)
  mkdir "$work/bin"
  cp "$1" "$work/bin/"
  program="$work/bin/$(basename "$1")"
  pid=
  trap end_session EXIT
  mkdir -m 700 "$work/runtime"
  export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
  export XDG_STATE_HOME="$work/state" HOME="$work"
}

end_session() {
  [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$work"
}

# Quits the program whose process is $pid through ファイル > 終了 (its File menu must be reachable
# with the keyboard) and waits for it; on failure takes a screenshot named $1 and returns 1.
quit_through_menu() {
  local before
  before=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
  xdotool key alt+f
  # The menu is open when the program shows one window more.
  for _ in $(seq 1 100); do
    (($(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l) > before)) && break
    sleep 0.1
  done
  xdotool key x
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not quit through ファイル > 終了" >&2
    import -window root "$1"
    return 1
  fi
  wait "$pid"
  pid=
}

# Waits until the window that has the keyboard is named like the regular expression $1; after
# 30 s takes a screenshot named $2 and returns 1.
wait_focus() {
  for _ in $(seq 1 300); do
    [[ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" =~ $1 ]] && return 0
    sleep 0.1
  done
  echo "no window named $1 took the keyboard" >&2
  import -window root "$2"
  return 1
}
