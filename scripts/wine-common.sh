# shellcheck shell=bash
# The Wine session logic of every script that runs Wine (sourced, not run): scripts/wine-run and
# scripts/wine-session for the tests, scripts/scite_run.py for the real SciTE. Where a build tree
# keeps a prefix, the environment every Wine process of ours gets, creation of the prefix, the
# session lock with its watchdog, and finding the prefix's processes.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_COMMON=$(realpath -- "${BASH_SOURCE[0]}")

# Wine's chatter would end up in the stderr the tests compare; winedbg would turn a crash into a
# dialog nobody sees and a hang (with it disabled a crash exits non-zero); Mono and Gecko would
# prompt for downloads; the menu builder would write desktop entries into $HOME.
wine_environment() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
  export WINEARCH=win64
  unset DISPLAY WAYLAND_DISPLAY
}

# Prints the build tree that contains the given path: the nearest directory above it that has a
# CMakeCache.txt. Fails when there is none.
wine_build_dir_of() {
  local dir
  dir=$(realpath -m -- "$1")
  [ -d "$dir" ] || dir=$(dirname -- "$dir")
  while [ "$dir" != / ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then
      printf '%s\n' "$dir"
      return 0
    fi
    dir=$(dirname -- "$dir")
  done
  return 1
}

# wine_use_build_dir <build-dir> [<name>]: sets WINE_STATE_DIR (locks, logs, session records) and
# WINEPREFIX for a build tree; <name> (default "wine") is the folder, one per kind of prefix.
# PROJECT_WINE_DIR overrides the default one's place, e.g. to share it between build trees.
wine_use_build_dir() {
  if [ -n "${2:-}" ]; then
    export WINE_STATE_DIR=$1/$2
  else
    export WINE_STATE_DIR=${PROJECT_WINE_DIR:-$1/wine}
  fi
  export WINEPREFIX=$WINE_STATE_DIR/prefix
  mkdir -p "$WINE_STATE_DIR"
}

# wine_ensure_prefix <graphics driver> [<desktop size>]: creates the prefix once. The driver is
# "null" (windows without an X server) or "x11"; with a size such as 1280x1024 every window lives
# in a Wine virtual desktop. Both must be in user.reg before the first boot, or the boot picks a
# driver of its own. A boot is only trusted once its server has exited, so a prefix without the
# ready mark is rebuilt.
wine_ensure_prefix() {
  local driver=$1 desktop=${2:-}
  local ready=$WINEPREFIX/.project-ready
  [ -f "$ready" ] && return 0
  (
    flock -x 8
    [ -f "$ready" ] && exit 0
    echo "wine: creating prefix $WINEPREFIX (once per build tree, about 15 s)" >&2
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf -- "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    {
      printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\User\\S-1-5-21-0-0-0-1000' \
        '' '#arch=win64' '' '[Software\\Wine\\Drivers]' "\"Graphics\"=\"$driver\""
      if [ -n "$desktop" ]; then
        printf '%s\n' '' '[Software\\Wine\\Explorer]' '"Desktop"="Default"' '' \
          '[Software\\Wine\\Explorer\\Desktops]' "\"Default\"=\"$desktop\""
      fi
    } >"$WINEPREFIX/user.reg"
    local log=$WINE_STATE_DIR/prefix-creation.log
    if ! timeout -k 2 180 "$WINE" wineboot -i </dev/null >"$log" 2>&1; then
      echo "wine: wineboot -i failed, see $log" >&2
      exit 1
    fi
    timeout -k 2 60 "$WINESERVER" -w
    touch "$ready"
  ) 8>"$WINE_STATE_DIR/prefix.lock"
}

# Stops every Wine process of the prefix and waits until its server has gone.
wine_stop() {
  timeout -k 2 20 "$WINESERVER" -k >/dev/null 2>&1 || true
  timeout -k 2 20 "$WINESERVER" -w >/dev/null 2>&1 || true
}

# Prints the ids of the running processes whose command line matches the pattern (pgrep -f) and
# whose environment names this prefix: Wine of other build trees may run beside ours.
wine_prefix_pids() {
  local pid
  for pid in $(pgrep -f -- "$1" 2>/dev/null); do
    # stderr first: a process that ended since pgrep saw it fails the input redirection.
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
    fi
  done
}

# wine_session_begin <owner-pid>: returns once this run holds the state dir's session lock, so a
# second run on the same prefix waits instead of sharing it (one run's stop would kill the
# other's programs). A watchdog holds the lock, so no Wine program of the run inherits it; it is
# detached from the caller's pipes and process group, and stops the prefix's Wine when
# wine_session_end asks or when the owner has gone (killed), so nothing of ours outlives the run.
wine_session_begin() {
  local owner=$1 waited=0 pid
  local locked=$WINE_STATE_DIR/session.$owner.locked
  rm -f -- "$locked"
  # shellcheck disable=SC2016 # expanded by the watchdog's shell
  setsid bash -c 'source "$0" && wine_watchdog "$1"' "$WINE_COMMON" "$owner" </dev/null \
    >>"$WINE_STATE_DIR/session.log" 2>&1 &
  pid=$!
  echo "$pid" >"$WINE_STATE_DIR/session.$owner.watchdog"
  until [ -f "$locked" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "wine: another run kept $WINEPREFIX for ${PROJECT_WINE_LOCK_WAIT:-1500} s" >&2
      return 1
    fi
    if [ $waited -eq 10 ]; then
      echo "wine: waiting for another run on this build tree to finish" >&2
    fi
    sleep 0.5
    waited=$((waited + 1))
  done
}

wine_watchdog() {
  watchdog_owner=$1
  watchdog_files=("$WINE_STATE_DIR/session.$1.locked" "$WINE_STATE_DIR/session.$1.watchdog")
  exec 9>"$WINE_STATE_DIR/session.lock"
  flock -x -w "${PROJECT_WINE_LOCK_WAIT:-1500}" 9 || exit 1
  trap 'wine_stop; rm -f -- "${watchdog_files[@]}"; exit 0' TERM INT HUP
  touch "${watchdog_files[0]}"
  while kill -0 "$watchdog_owner" 2>/dev/null; do
    sleep 1 &
    wait $! || true
  done
  wine_stop
  rm -f -- "${watchdog_files[@]}"
}

# wine_session_end <owner-pid>: the watchdog stops Wine and lets go of the lock; waits for that.
wine_session_end() {
  local owner=$1 pid
  local watchdog=$WINE_STATE_DIR/session.$owner.watchdog locked=$WINE_STATE_DIR/session.$owner.locked
  [ -f "$watchdog" ] || return 0
  pid=$(cat "$watchdog")
  # The whole group: a watchdog still waiting for the lock is blocked in flock, its child.
  kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -f "$locked" ]; then
    # The watchdog held the session but died without cleaning up (killed outright).
    wine_stop
  fi
  rm -f -- "$watchdog" "$locked"
}
