# Shared by scripts/wine-run and scripts/wine-session (sourced, not run): where a build tree keeps
# its Wine prefix, the environment every Wine process of ours gets, and creation of the prefix.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

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

# Sets WINE_STATE_DIR (locks, logs, session records) and WINEPREFIX for a build tree.
# PROJECT_WINE_DIR overrides the place, e.g. to share one prefix between build trees.
wine_use_build_dir() {
  WINE_STATE_DIR=${PROJECT_WINE_DIR:-$1/wine}
  export WINEPREFIX=$WINE_STATE_DIR/prefix
  mkdir -p "$WINE_STATE_DIR"
}

# Creates the prefix once. Windows need a graphics driver and there is no X server: the "null"
# driver must be in user.reg before the first boot, or the boot picks a driver of its own. A boot
# is only trusted once its server has exited, so a prefix without the ready mark is rebuilt.
wine_ensure_prefix() {
  local ready=$WINEPREFIX/.project-ready
  [ -f "$ready" ] && return 0
  (
    flock -x 8
    [ -f "$ready" ] && exit 0
    echo "wine: creating prefix $WINEPREFIX (once per build tree, about 15 s)" >&2
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf -- "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    cat >"$WINEPREFIX/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Wine\\Drivers]
"Graphics"="null"
REG
    local log=$WINE_STATE_DIR/prefix-creation.log
    if ! "$WINE" wineboot -i </dev/null >"$log" 2>&1; then
      echo "wine: wineboot -i failed, see $log" >&2
      exit 1
    fi
    "$WINESERVER" -w
    touch "$ready"
  ) 8>"$WINE_STATE_DIR/prefix.lock"
}
