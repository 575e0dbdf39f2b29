#!/usr/bin/env bash
# An upgrade keeps the player's games: the earlier package (KIVRO_OLD_PACKAGE,
# for instance the 1.0.0 package CPack made before the debhelper build) is
# installed with dpkg into a root of its own, a player plays a toll gate and
# adds music, then the package in DEB_DIR is installed over it. The new
# program must start on the player's files and find the game, the scores and
# the music as they were.
#
#   KIVRO_OLD_PACKAGE=old.deb package-upgrade.sh DEB_DIR E2E_CHECK OUTPUT_DIR
#
# Skipped (exit status 77) without an old package or a new one.
set -euo pipefail

if [ "${KIVRO_E2E_STAGE:-}" = "" ]; then
    if [ ! -f "${KIVRO_OLD_PACKAGE:-}" ]; then
        echo "SKIP: KIVRO_OLD_PACKAGE names no earlier package to upgrade from"
        exit 77
    fi
    if ! compgen -G "$1/kivrotype_*_amd64.deb" > /dev/null; then
        echo "SKIP: no kivrotype_*_amd64.deb in $1 (scripts/package makes it)"
        exit 77
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: installing into a root of its own needs root"
        exit 77
    fi
fi

. "$(dirname "$0")/../e2e/e2e-common.sh"
. "$(dirname "$0")/../e2e/e2e-play.sh"

old=$(realpath "$KIVRO_OLD_PACKAGE")
debs=("$1"/kivrotype_*_amd64.deb)
[ "${#debs[@]}" -eq 1 ] || { echo "FAIL: more than one package in $1: ${debs[*]}" >&2; exit 1; }
new=$(realpath "${debs[0]}")
check=$2
out=$3

readonly PLAYER_NAME=kivroupgrade
readonly PLAYER_UID=65534

export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap cleanup EXIT

# ---- a root of its own with an empty package database
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
chmod 755 "$work" "$root"
# Its Depends are the system's concern, not this root's.
install_package() {
    dpkg --root="$root" --force-depends --force-script-chrootless -i "$1" > "$out/dpkg.log" 2>&1 ||
        { cat "$out/dpkg.log"; fail "dpkg could not install $(basename "$1")"; }
}
installed_version() { dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Version}' kivrotype; }

install_package "$old"
log "installed $(basename "$old") ($(installed_version))"
installed=$root/usr/share/kivrotype

# ---- the player, as in package-installed.sh
home=$work/home
dir=$home/.local/share/kivrotype
mkdir -p "$home"
if [ -n "${XAUTHORITY:-}" ]; then
    cp "$XAUTHORITY" "$home/.Xauthority"
fi
mkdir -p "$dir/data"
sed -E 's/^(LevelInterval[123])=[^\r]*/\1=10/' "$installed/data/typeconfig.ini" > "$dir/data/typeconfig.ini"
chown -R "$PLAYER_UID:$PLAYER_UID" "$home"
cp -a "$installed" "$work/words"
mapfile -t words < <("$check" words "$work/words" 1)
[ "${#words[@]}" -eq 20 ] || fail "toll gate 1 has ${#words[@]} words, not 20"

# A command, not a function: the program's process id must be the one started.
as_player=(setpriv --reuid="$PLAYER_UID" --regid="$PLAYER_UID" --clear-groups
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XAUTHORITY="$home/.Xauthority")

play_first_toll_gate "${as_player[@]}" "$root/usr/bin/kivrotype"
"$check" verify "$dir" "$PLAYER_NAME" || fail "the old program did not store the game"
# Music of the player's own.
"${as_player[@]}" cp "$installed/source/mp3/默认背景音乐.mp3" "$dir/source/mp3/我的音乐.mp3"
players_files() { (cd "$dir" && find . -type f ! -name '*.lock' -exec sha256sum {} + | sort -k 2); }
players_files > "$work/before"
log "the player's files after the old program: $(wc -l < "$work/before")"

# ---- the upgrade
install_package "$new"
log "upgraded to $(basename "$new") ($(installed_version))"
[ "$(installed_version)" = "$(dpkg-deb -f "$new" Version)" ] || fail "the new version is not installed"
players_files > "$work/after-upgrade"
diff -u "$work/before" "$work/after-upgrade" || fail "the upgrade changed the player's files"
# The old package's files that the new one no longer has are gone, the new ones there.
for file in usr/share/man/man6/kivrotype.6.gz usr/share/doc/kivrotype/copyright; do
    [ -f "$root/$file" ] || fail "no $file after the upgrade"
done

# ---- the new program on the old player's files
"${as_player[@]}" "$root/usr/bin/kivrotype" > "$out/kivrotype.log" 2>&1 &
pid=$!
wait_for "$START_TIMEOUT" "the main window" window_named 'Kivro单词速打'
main=$found
shot upgraded
quit_from_file_menu
"$check" verify "$dir" "$PLAYER_NAME" || fail "the game stored by the old program is gone"
grep -q '^LevelInterval1=10' "$dir/data/typeconfig.ini" || fail "the player's settings were replaced"
cmp -s "$installed/source/mp3/默认背景音乐.mp3" "$dir/source/mp3/我的音乐.mp3" ||
    fail "the player's music is gone"
log "passed: the player's game, scores, settings and music survived the upgrade"
