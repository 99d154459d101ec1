#!/bin/sh
# After `cmake --install`, as root: lets the operators' group write what the
# application writes in its program folder, and puts the menu entry in place.
#   postinstall.sh [--group NAME] [--menu DIR]
# The program folder is the one above this script. NAME (default tollvane) is
# created as a system group when missing; add each operator to it with
#   usermod -aG tollvane LOGIN
# db/ and backup/ become group-writable (setgid, so new files keep the
# group), and so do config.xml and db/database.fdb. DIR (default
# /usr/share/applications) receives a link to the program's .desktop entry;
# "--menu none" leaves the menu alone.
set -eu
group=tollvane
menu=/usr/share/applications
while [ $# -gt 0 ]; do
    case "$1" in
    --group) group="$2"; shift 2 ;;
    --menu) menu="$2"; shift 2 ;;
    *) echo "usage: $0 [--group NAME] [--menu DIR]" >&2; exit 2 ;;
    esac
done
[ "$(id -u)" -eq 0 ] || { echo "postinstall: must run as root" >&2; exit 1; }
prefix="$(cd "$(dirname "$0")/.." && pwd)"

getent group "$group" >/dev/null || groupadd --system "$group"
mkdir -p "$prefix/db" "$prefix/backup"
[ -f "$prefix/config.xml" ] || printf '<?xml version="1.0" encoding="windows-1251"?>\r\n<config>\r\n</config>\r\n' >"$prefix/config.xml"
chgrp "$group" "$prefix/db" "$prefix/backup" "$prefix/config.xml"
chmod 2775 "$prefix/db" "$prefix/backup"
chmod 0664 "$prefix/config.xml"
if [ -f "$prefix/db/database.fdb" ]; then
    chgrp "$group" "$prefix/db/database.fdb"
    chmod 0664 "$prefix/db/database.fdb"
fi
if [ "$menu" != none ]; then
    mkdir -p "$menu"
    ln -sf "$prefix/tollvane.desktop" "$menu/tollvane.desktop"
fi
echo "program folder $prefix: db/, backup/ and config.xml writable by group $group"
