#!/usr/bin/env bash
# Builds the Debian package of the build with CPack and checks its contents and dependencies.
# Skipped (with a line that says so) where dpkg-shlibdeps is missing.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$1
if ! command -v dpkg-shlibdeps > /dev/null; then
    echo "skipped: dpkg-shlibdeps (dpkg-dev) is not installed"
    exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/kurabox_*.deb)
failed=0
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/kurabox ./usr/bin/kbx ./usr/share/applications/kurabox.desktop \
    ./usr/share/mime/packages/kurabox.xml ./usr/share/doc/kurabox/manual/index.html \
    ./usr/share/icons/hicolor/scalable/apps/kurabox.svg ./usr/share/man/man1/kbx.1; do
    grep -q " $file\$" <<< "$contents" || { echo "not in the package: $file"; failed=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6core6 libssl3 zlib1g libglib2.0-0 qt6-qpa-plugins; do
    grep -q "$package" <<< "$depends" || { echo "not a dependency: $package"; failed=1; }
done
echo "Depends: $depends"
[ "$failed" -eq 0 ] && echo "package check passed" || { echo "package check failed"; exit 1; }
