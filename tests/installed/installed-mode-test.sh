#!/usr/bin/env bash
# The installed program end to end: the Debian package unpacked into a throwaway root,
# its desktop caches built there as dpkg's triggers would, and the program started
# offscreen with HOME and the XDG folders pointed at a temporary folder.
#
#   installed-mode-test.sh BUILD_DIR
#
# Exit 77 (skipped) when not run as root, or when dpkg-deb or cpack is missing.
set -euo pipefail
build=$(cd "$1" && pwd)

skip() { echo "SKIP: $*"; exit 77; }
[[ $(id -u) -eq 0 ]] || skip "runs as root only (scripts/test as root runs it)"
for tool in cpack dpkg-deb update-mime-database update-desktop-database xdg-mime mimetype; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/setup-deps installs it)"
done

tmp=$(mktemp -d)
first=""
second=""
cleanup() {
  for pid in $second $first; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package, made from this build tree; its name says the version and architecture.
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >/dev/null)
deb=$(ls "$tmp"/pkg/vantrelo_*_amd64.deb)
echo "package: $(basename "$deb")"
dpkg-deb -I "$deb" control | grep -E '^ ?Depends:' | grep -q 'fonts-liberation' || fail "package does not depend on the fonts"

sysroot="$tmp/root"
dpkg-deb -x "$deb" "$sysroot"
[[ ! -e "$sysroot/usr/lib/vantrelo/Files/Portable.ini" ]] || fail "the package ships the portable marker"
[[ -x "$sysroot/usr/bin/vantrelo" ]] || fail "no usr/bin/vantrelo"
home="$tmp/home"
mkdir -p "$home" "$tmp/run"
chmod 700 "$tmp/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$tmp/run" XDG_DATA_DIRS="$sysroot/usr/share" \
  XDG_CONFIG_DIRS="$tmp/etc-xdg" QT_QPA_PLATFORM=offscreen
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
# What dpkg's triggers for shared-mime-info and desktop-file-utils do on installation.
update-mime-database "$sysroot/usr/share/mime" >/dev/null
update-desktop-database "$sysroot/usr/share/applications"

# The menu's command, as the desktop runs it: Exec without its field code, found on PATH.
exec_line=$(sed -n 's/^Exec=//p' "$sysroot/usr/share/applications/vantrelo.desktop")
command=${exec_line% %f}
PATH="$sysroot/usr/bin:$PATH" "$command" &
first=$!

files="$XDG_CONFIG_HOME/vantrelo/Files"
for _ in $(seq 200); do
  [[ -s "$files/Covers.ini" ]] && break
  kill -0 "$first" 2>/dev/null || fail "the installed program stopped at start"
  sleep 0.1
done
[[ -s "$files/Covers.ini" ]] || fail "no catalogue under $files"
cmp -s "$files/Covers.ini" "$sysroot/usr/lib/vantrelo/Files/Covers.ini" || fail "the catalogue is not the shipped one"
echo "catalogue: $files/Covers.ini"

# The packaged registration serves; the program adds nothing of its own per user.
[[ ! -e "$XDG_DATA_HOME/applications/vantrelo.desktop" ]] || fail "a per-user desktop entry shadows the package's"

project="$tmp/My cover.vtr"
printf '\r\n\r\n\r\n 1 \r\nT\r\nS\r\nLiberation Sans\r\n12\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 1 \r\n 1 \r\n 3 \r\n' >"$project"
type=$(xdg-mime query filetype "$project")
[[ "$type" == "application/x-vantrelo-project" ]] || fail "xdg-mime calls a .vtr file '$type'"
default=$(xdg-mime query default "$type")
[[ "$default" == "vantrelo.desktop" ]] || fail "xdg-mime opens the project type with '$default'"
echo "xdg-mime: $type, opened by $default"

# A second start while the first runs is refused: it does not take the lock (it waits
# on its message box, which nobody answers offscreen), and the first keeps running.
lock=$(ls "$XDG_RUNTIME_DIR"/vantrelo-*.lock)
[[ "$(head -n 1 "$lock")" == "$first" ]] || fail "the lock is not held by the first copy"
"$sysroot/usr/bin/vantrelo" &
second=$!
sleep 3
kill -0 "$first" 2>/dev/null || fail "the first copy stopped"
[[ "$(head -n 1 "$lock")" == "$first" ]] || fail "the second copy took the lock"
[[ $(find "$XDG_RUNTIME_DIR" -name 'vantrelo-*.lock' | wc -l) -eq 1 ]] || fail "a second lock appeared"
kill -KILL "$second"  # its SIGTERM handler closes the window it never opened
wait "$second" 2>/dev/null || true
second=""
# With a project, the second start hands it over to the first and ends at once.
timeout 20 "$sysroot/usr/bin/vantrelo" "$project" || fail "the hand-over to the running copy failed"
kill -0 "$first" 2>/dev/null || fail "the first copy stopped after the hand-over"
echo "second start: refused, project handed over"

# Closing as the desktop does saves the settings beside the catalogue.
kill -TERM "$first"
wait "$first" || fail "the program ended with status $?"
first=""
[[ -s "$files/Vantrelo.ini" ]] || fail "no settings under $files"
echo "settings: $files/Vantrelo.ini"
# Nothing was written beside the installed program.
[[ -z "$(find "$sysroot/usr/lib/vantrelo" -newer "$deb" -type f)" ]] || fail "the program wrote into its own folder"
echo "installed-mode test passed"
