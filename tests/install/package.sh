#!/usr/bin/env bash
# Builds the Debian packages of the build with CPack into a temporary folder (conflux and
# qgis-plugin-conflux) and inspects them with dpkg-deb: their control fields, and that together
# they hold exactly the files the install rules install (under /usr), owned by root with Debian's
# permissions, stripped, and nothing of the build.
# Usage: package.sh BUILD_DIR VERSION
source "$(dirname "$0")/common.sh"
build=$(realpath "$1") version=$2

# Compressing the package is not under test, and xz on a sanitizer build's binaries is slow.
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    fail "cpack"
    finish
fi
arch=$(dpkg --print-architecture)
expect "packages" "conflux_${version}_$arch.deb qgis-plugin-conflux_${version}_all.deb" \
    "$(cd "$scratch/package" && echo *.deb)"
deb=$scratch/package/conflux_${version}_$arch.deb plugin=$scratch/package/qgis-plugin-conflux_${version}_all.deb
[[ -f $deb && -f $plugin ]] || { fail "no packages built"; finish; }

field() { dpkg-deb --field "$deb" "$1"; }
expect "Package" conflux "$(field Package)"
expect "Version" "$version" "$(field Version)"
expect "Section" science "$(field Section)"
expect "Priority" optional "$(field Priority)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
expect "Description" "find shapefiles in folder trees and merge them by geometry kind" \
    "$(field Description | head -n 1)"
(($(field Description | wc -l) > 3)) || fail "no long description"
for library in libgdal libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3 libc6; do
    [[ $(field Depends) == *"$library"* ]] || fail "Depends lacks $library: $(field Depends)"
done

expect "plugin Package" qgis-plugin-conflux "$(dpkg-deb --field "$plugin" Package)"
expect "plugin Architecture" all "$(dpkg-deb --field "$plugin" Architecture)"
expect "plugin Depends" "conflux (= $version), python3-qgis" "$(dpkg-deb --field "$plugin" Depends)"
[[ $(field Depends) != *qgis* ]] || fail "the program depends on QGIS: $(field Depends)"

# The same files as an install into /usr.
DESTDIR=$scratch/root cmake --install "$build" --prefix /usr >/dev/null 2>&1 || fail "cmake --install"
installed=$(cd "$scratch/root" && find . -type f | sort)
{ dpkg-deb --contents "$deb"; dpkg-deb --contents "$plugin"; } >"$scratch/contents.txt"
packaged=$(grep -v '^d' "$scratch/contents.txt" | awk '{print $6}' | sort)
expect "packaged files" "$installed" "$packaged"
if grep -q "$build" "$scratch/contents.txt"; then
    fail "the package names the build folder"
fi
awk '$2 != "root/root" {print "owner: " $0}
     /^d/ && $1 != "drwxr-xr-x" {print "folder mode: " $0}
     /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" {print "file mode: " $0}' \
    "$scratch/contents.txt" >"$scratch/modes.txt"
expect "owners and modes" "" "$(cat "$scratch/modes.txt")"
expect "executables" "./usr/bin/conflux" "$(awk '/^-rwx/ {print $6}' "$scratch/contents.txt")"

# Stripped binaries whose run path stays inside the package.
dpkg-deb --extract "$deb" "$scratch/extracted"
while IFS= read -r -d '' binary; do
    name=${binary#"$scratch/extracted"}
    sections=$(readelf -S -W "$binary" | grep -oE '\.(debug_info|symtab|comment)\b' | sort -u | tr '\n' ' ')
    expect "unneeded sections of $name" "" "$sections"
    readelf -d "$binary" | grep -E 'RUNPATH|RPATH' | grep -vq '\[\$ORIGIN' &&
        fail "$name has a run path outside the package: $(readelf -d "$binary" | grep -E 'RUNPATH|RPATH')"
done < <(find "$scratch/extracted" -type f -exec sh -c 'head -c 4 "$1" | grep -q "ELF"' sh {} \; -print0)

finish
