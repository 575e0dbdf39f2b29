#!/usr/bin/env bash
# The Debian package as a player gets it: unpacked into a folder only root
# may write, run by an ordinary user (uid 65534) with a home of its own,
# played for a toll gate and quit. The settings, the scores and the recent
# list must be in that user's data folder, and nothing in the installation
# may have changed. Last, apt must resolve the package's Depends.
#
#   package-installed.sh DEB_DIR E2E_CHECK OUTPUT_DIR
#
# DEB_DIR holds kivrotype_<version>_amd64.deb (scripts/package). Without a
# package there the test is skipped (exit status 77).
set -euo pipefail

if [ "${KIVRO_E2E_STAGE:-}" = "" ]; then
    if ! compgen -G "$1/kivrotype_*_amd64.deb" > /dev/null; then
        echo "SKIP: no kivrotype_*_amd64.deb in $1 (scripts/package makes it)"
        exit 77
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: unpacking as root and running as another user needs root"
        exit 77
    fi
fi

. "$(dirname "$0")/../e2e/e2e-common.sh"
. "$(dirname "$0")/../e2e/e2e-play.sh"

debs=("$1"/kivrotype_*_amd64.deb)
[ "${#debs[@]}" -eq 1 ] || { echo "FAIL: more than one package in $1: ${debs[*]}" >&2; exit 1; }
deb=$(realpath "${debs[0]}")
check=$2
out=$3

readonly PLAYER_NAME=kivroinstalled
readonly PLAYER_UID=65534

export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap cleanup EXIT

# ---- the installation: root's, readable by everyone
root=$work/root
mkdir -p "$root"
chmod 755 "$work" "$root"
dpkg-deb -x "$deb" "$root"
installed=$root/usr/share/kivrotype
[ -x "$root/usr/bin/kivrotype" ] || { echo "FAIL: no usr/bin/kivrotype in the package" >&2; exit 1; }
log "unpacked $(basename "$deb") into $root"

# ---- the player: a home of its own; the X server's key goes with it
home=$work/home
dir=$home/.local/share/kivrotype
mkdir -p "$home"
if [ -n "${XAUTHORITY:-}" ]; then
    cp "$XAUTHORITY" "$home/.Xauthority"
fi
# The words fall fast: the player's settings are there before the first
# start, which must keep them and add what is missing.
mkdir -p "$dir/data"
sed -E 's/^(LevelInterval[123])=[^\r]*/\1=10/' "$installed/data/typeconfig.ini" > "$dir/data/typeconfig.ini"
chown -R "$PLAYER_UID:$PLAYER_UID" "$home"

# The words of toll gate 1, read from a copy so that nothing touches the installation.
cp -a "$installed" "$work/words"
mapfile -t words < <("$check" words "$work/words" 1)
[ "${#words[@]}" -eq 20 ] || fail "toll gate 1 has ${#words[@]} words, not 20"

snapshot() {
    (cd "$root" && find . -printf '%p %U:%G %m %s %T@\n' | sort &&
        find . -type f -exec sha256sum {} + | sort -k 2)
}
snapshot > "$work/before"

# ---- play as the player
play_first_toll_gate setpriv --reuid="$PLAYER_UID" --regid="$PLAYER_UID" --clear-groups \
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XAUTHORITY="$home/.Xauthority" \
    "$root/usr/bin/kivrotype"

# ---- where everything went
snapshot > "$work/after"
if ! diff -u "$work/before" "$work/after" > "$out/installation.diff"; then
    cat "$out/installation.diff"
    fail "the installation changed"
fi
for file in data/typeconfig.ini data/kivrotype.mdb UseRecord.txt; do
    [ -f "$dir/$file" ] || fail "no $file in the player's folder"
    [ "$(stat -c %u "$dir/$file")" -eq "$PLAYER_UID" ] || fail "$file is not the player's"
done
grep -q '^LevelInterval1=10' "$dir/data/typeconfig.ini" ||
    fail "the first start replaced the player's settings"
cp -f "$dir/UseRecord.txt" "$dir/data/typeconfig.ini" "$out/"
"$check" verify "$dir" "$PLAYER_NAME" || fail "the played game was not stored as expected"
log "the game is in $dir; the installation is unchanged"

# ---- the package's Depends resolve
apt-get install --simulate "$deb" > "$out/apt-simulate.txt" 2>&1 ||
    { cat "$out/apt-simulate.txt"; fail "apt cannot install the package"; }
grep -E '^Inst kivrotype ' "$out/apt-simulate.txt" ||
    { cat "$out/apt-simulate.txt"; fail "apt would not install kivrotype"; }
dpkg-deb -f "$deb" Depends
log "passed"
