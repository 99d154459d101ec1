#!/bin/sh
# Installs, builds and starts Tollvane on the embedded database, creating
# build/db/database.fdb from the schema script when it is missing.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
sh "$root/tools/build.sh"
mkdir -p "$root/build/db"
if [ ! -f "$root/build/db/database.fdb" ]; then
    sh "$root/tools/create-database.sh" "$root/build/db/database.fdb" "$root/data/schema.sql"
fi
exec "$root/build/tollvane"
