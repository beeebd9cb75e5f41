#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr and checks what a desktop needs of it:
# the layout, the desktop entry, the AppStream data, and that the file type of a real container
# is known once the shared-mime-info database is built. Checks whose tool is missing are
# skipped with a line that says so.
# Usage: check-install.sh BUILD_DIR KBX
set -euo pipefail
build=$1
kbx=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr > /dev/null
usr="$root/usr"

expected=(
    bin/kurabox
    bin/kbx
    share/applications/kurabox.desktop
    share/metainfo/io.kurabox.Kurabox.metainfo.xml
    share/mime/packages/kurabox.xml
    share/icons/hicolor/scalable/apps/kurabox.svg
    share/icons/hicolor/scalable/mimetypes/application-x-kurabox-container.svg
    share/icons/hicolor/48x48/apps/kurabox.png
    share/icons/hicolor/256x256/mimetypes/application-x-kurabox-container.png
    share/doc/kurabox/manual/index.html
    share/man/man1/kbx.1
    share/man/man1/kurabox.1
)
failed=0
for file in "${expected[@]}"; do
    if [ ! -f "$usr/$file" ]; then
        echo "missing: /usr/$file"
        failed=1
    fi
done
[ -x "$usr/bin/kurabox" ] || { echo "not executable: /usr/bin/kurabox"; failed=1; }

if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate --no-hints "$usr/share/applications/kurabox.desktop" || failed=1
else
    echo "skipped: desktop-file-validate is not installed"
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$usr/share/metainfo/io.kurabox.Kurabox.metainfo.xml" > /dev/null || failed=1
else
    echo "skipped: appstreamcli is not installed"
fi

# The file type of a real container, as the file manager asks for it.
if command -v update-mime-database > /dev/null && command -v gio > /dev/null; then
    update-mime-database "$usr/share/mime" > /dev/null 2>&1
    printf 'plain\n' > "$root/plain.txt"
    printf 'Pass-word1\n' | "$kbx" encrypt "$root/plain.txt" "$root/sample.kbxf" > /dev/null
    type=$(XDG_DATA_DIRS="$usr/share:/usr/share" XDG_DATA_HOME="$root/none" \
        gio info -a standard::content-type "$root/sample.kbxf" | sed -n 's/.*standard::content-type: //p')
    if [ "$type" != "application/x-kurabox-container" ]; then
        echo "the container's type is '$type', not application/x-kurabox-container"
        failed=1
    fi
    echo "type of a container: $type"
else
    echo "skipped: update-mime-database or gio is not installed"
fi

if [ "$failed" -ne 0 ]; then
    echo "install check failed"
    exit 1
fi
echo "install check passed"
