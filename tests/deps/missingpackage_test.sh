#!/usr/bin/env bash
# The dependency check fails and names the package when one package is taken
# out of a copy of the install list: one whose package configuration another
# package pulls in, and one whose library a find module located.
set -uo pipefail
source_dir="$1"
build_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for pkg in libqt6opengl6-dev libsqlite3-dev; do
    sed -E "s/(^|[ (])$pkg([ )]|\$)/\1\2/" "$source_dir/scripts/deps.sh" >"$work/deps.sh"
    if grep -qw -- "$pkg" "$work/deps.sh"; then
        echo "FAIL: $pkg still in the copied list"
        status=1
        continue
    fi
    output="$("$source_dir/scripts/check-deps" "$build_dir" "$work/deps.sh" 2>&1)"
    rc=$?
    if [ $rc -ne 1 ] || ! grep -q -- "^  $pkg " <<<"$output"; then
        echo "FAIL: without $pkg the check gave status $rc:"
        echo "$output"
        status=1
    else
        echo "ok: without $pkg: $output" | head -n 2
    fi
done
exit $status
