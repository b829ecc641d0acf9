#!/usr/bin/env bash
# Checks that everything that carries the version names the same one: the programs'
# --version, the Debian package (CPack configuration) and its changelog, the AppStream
# metainfo's newest release and the manual pages.
# Usage: version_test.sh BUILD_DIR PROGRAM...
set -uo pipefail
build=$1
shift

versions=()
add() {  # what, version
    [ -n "$2" ] || { echo "version_test: no version found in $1" >&2; exit 1; }
    versions+=("$2	$1")
}
for program in "$@"; do
    add "$(basename "$program") --version" "$("$program" --version | sed -n '1s/.* //p')"
done
add "CPack configuration" \
    "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
add "changelog" "$(sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p' "$build/packaging/changelog")"
for metainfo in "$build"/packaging/*.metainfo.xml; do
    add "$(basename "$metainfo")" "$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)"
done
for page in "$build"/packaging/*.1; do
    add "$(basename "$page")" "$(sed -n 's/^\.TH "[^"]*" "[^"]*" "[^"]*" "[^"]* \([^" ]*\)".*/\1/p' "$page")"
done

distinct=$(printf '%s\n' "${versions[@]}" | cut -f1 | sort -u | wc -l)
if [ "${#versions[@]}" -lt $(($# + 5)) ] || [ "$distinct" -ne 1 ]; then
    echo "version_test: the versions differ or some are missing:" >&2
    printf '  %s\n' "${versions[@]}" >&2
    exit 1
fi
echo "version_test: ${#versions[@]} places name version $(printf '%s\n' "${versions[0]}" | cut -f1)"
