#!/bin/sh
# Creates a Tollvane database from the schema script:
#   create-database.sh DATABASE [SCHEMA_FILE]
# DATABASE is a file path (embedded engine) or a server path such as
# localhost:/var/lib/tollvane/database.fdb.
set -eu
db="$1"
schema="${2:-$(dirname "$0")/../data/schema.sql}"
user="${ISC_USER:-SYSDBA}"
password="${ISC_PASSWORD:-gravelpit}"
printf "CREATE DATABASE '%s' USER '%s' PASSWORD '%s' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\nINPUT '%s';\n" \
    "$db" "$user" "$password" "$schema" | isql-fb -q -b -ch UTF8
