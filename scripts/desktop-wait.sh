# Sourced by run.sh and the screenshot scripts: waiting on the X display for what Zelmor and the
# simulators show, never for a fixed time. Each gives up after 30 s with a word on stderr.

# Prints the X id of the first visible window whose title matches (a grep pattern).
wait_window() {
  local id
  for _ in $(seq 600); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  echo "$(basename "$0"): no window \"$1\" within 30 s" >&2
  return 1
}

# Waits until Zelmor shows this many visible windows (its main window, a menu, ...).
wait_zelmor_windows() {
  for _ in $(seq 600); do
    [ "$(xdotool search --onlyvisible --class zelmor.exe 2>/dev/null | wc -l)" -ge "$1" ] && return 0
    sleep 0.05
  done
  echo "$(basename "$0"): Zelmor never showed $1 windows" >&2
  return 1
}

# Waits until a file holds a text (grep pattern).
wait_for_text() {
  for _ in $(seq 600); do
    LC_ALL=C grep -qa -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "$(basename "$0"): \"$2\" did not reach $1 within 30 s" >&2
  return 1
}
