#!/usr/bin/env bash
# "cmake --install" of a build into a temporary prefix gives the layout the
# program and the desktop expect, and nothing else.
#
#   install-tree.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > /dev/null
actual=$(cd "$prefix" && find . -type f | sort)
expected=$(sort << 'LIST'
./bin/kivrotype
./lib/kivrotype/kivrotype-progress.so
./share/applications/org.example.kivrotype.desktop
./share/icons/hicolor/128x128/apps/org.example.kivrotype.png
./share/icons/hicolor/256x256/apps/org.example.kivrotype.png
./share/icons/hicolor/48x48/apps/org.example.kivrotype.png
./share/icons/hicolor/scalable/apps/org.example.kivrotype.svg
./share/kivrotype/THIRD_PARTY_NOTICES
./share/kivrotype/data/kivrotype.mdb
./share/kivrotype/data/typeconfig.ini
./share/kivrotype/kivrotype.html
./share/kivrotype/reference.db
./share/kivrotype/source/mp3/默认背景音乐.mp3
./share/man/man6/kivrotype.6
./share/metainfo/org.example.kivrotype.metainfo.xml
LIST
)
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the installed files differ from the expected layout:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
# An installation is not a portable folder: no data/ beside the program.
[ ! -e "$prefix/bin/data" ] || { echo "FAIL: bin/data was installed"; exit 1; }
echo "installed files:"
echo "$actual"
