#!/bin/sh
# The program folder that `cmake --install` lays out, installed into a
# temporary prefix:
#   install_layout.sh BUILD_DIR
# checks its files, that its database opens and survives a second install,
# and (as root) that tools/postinstall.sh lets a member of the operators'
# group write db/, backup/, config.xml and the database file.
set -eu
build="$1"
work="$(mktemp -d /tmp/tollvane-install.XXXXXX)"
chmod 0755 "$work"
trap 'rm -rf "$work"' EXIT
prefix="$work/opt/tollvane"

failures=0
check() { # check WHAT COMMAND...
    what="$1"
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
isql() {
    printf 'SET HEADING OFF;\n%s\n' "$1" |
        isql-fb -q -ch UTF8 -user SYSDBA -password gravelpit "$prefix/db/database.fdb" | awk 'NF { print $1; exit }'
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

check "the binary" test -x "$prefix/tollvane"
check "Templates/" test -d "$prefix/Templates"
check "the schema script" test -s "$prefix/schema.sql"
check "the database-creation script" test -x "$prefix/tools/create-database.sh"
check "the post-install script" test -x "$prefix/tools/postinstall.sh"
check "the icon" test -s "$prefix/tollvane.svg"
check "backup/" test -d "$prefix/backup"
check "the .desktop entry starts the installed binary" grep -qx "Exec=$prefix/tollvane" "$prefix/tollvane.desktop"
check "the .desktop entry names the installed icon" grep -qx "Icon=$prefix/tollvane.svg" "$prefix/tollvane.desktop"
check "config.xml has the three lines" test "$(tr -d '\r' <"$prefix/config.xml" | sed -n 2,3p | tr '\n' ' ')" = "<config> </config> "
check "db/database.fdb holds the schema" test "$(isql "SELECT COUNT(*) FROM RDB\$RELATIONS WHERE RDB\$RELATION_NAME IN ('AUTO', 'AUTO_ACTION', 'PAYMENTS', 'PLACES');")" = 4

# A second install keeps the data already in the database.
isql "INSERT INTO OPTIONS (\"NAME\", \"VAL\") VALUES ('PARKING_NAME', 'kept'); COMMIT;" >/dev/null
cmake --install "$build" --prefix "$prefix" >"$work/install2.log"
check "a second install keeps the database" test "$(isql "SELECT \"VAL\" FROM OPTIONS WHERE \"NAME\" = 'PARKING_NAME';")" = kept

if [ "$(id -u)" -eq 0 ]; then
    sh "$prefix/tools/postinstall.sh" --menu "$work/menu"
    check "db/ belongs to the group, setgid" test "$(stat -c '%G %a' "$prefix/db")" = "tollvane 2775"
    check "backup/ belongs to the group, setgid" test "$(stat -c '%G %a' "$prefix/backup")" = "tollvane 2775"
    check "config.xml group-writable" test "$(stat -c '%G %a' "$prefix/config.xml")" = "tollvane 664"
    check "the database group-writable" test "$(stat -c '%G %a' "$prefix/db/database.fdb")" = "tollvane 664"
    check "the menu entry links the installed one" test "$(readlink "$work/menu/tollvane.desktop")" = "$prefix/tollvane.desktop"
    operator() { setpriv --reuid=nobody --regid=nogroup --groups="$(getent group tollvane | cut -d: -f3)" "$@"; }
    check "an operator of the group writes the database" operator test -w "$prefix/db/database.fdb"
    check "an operator of the group writes config.xml" operator test -w "$prefix/config.xml"
    check "an operator of the group creates archives" operator touch "$prefix/backup/ARX_DB_test.ZIP"
    check "a user outside the group cannot write the database" sh -c "! setpriv --reuid=nobody --regid=nogroup --clear-groups test -w '$prefix/db/database.fdb'"
else
    echo "skipped: the post-install script needs root"
fi

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
