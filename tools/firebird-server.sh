#!/bin/sh
# Runs a Firebird server on loopback for several desks sharing one database,
# without a service manager:
#   firebird-server.sh start DIR
#   firebird-server.sh stop DIR
# Needs root and the Debian package firebird3.0-server (tools/install-deps.sh
# installs it; installing does not start its service). "start" sets SYSDBA's
# password in the package's security database to the one the application
# uses, starts the server binary as the firebird user listening on
# 127.0.0.1:3050 only and writes its process id to DIR/firebird.pid; "stop"
# ends exactly that process. Databases go into DIR/db, which the firebird user
# owns: create one with
#   tools/create-database.sh localhost:DIR/db/database.fdb
# DIR/lock holds the server's lock files, apart from /tmp/firebird where
# embedded processes of root keep theirs (the firebird user cannot open those).
set -eu

server=/usr/sbin/firebird
conf=/etc/firebird/3.0/firebird.conf
security=/var/lib/firebird/3.0/system/security3.fdb
password="${ISC_PASSWORD:-gravelpit}"
port=3050

usage() {
    echo "usage: $0 start|stop DIR" >&2
    exit 2
}

fail() {
    echo "firebird-server: $*" >&2
    exit 1
}

as_firebird() {
    FIREBIRD_LOCK="$dir/lock" setpriv --reuid=firebird --regid=firebird --init-groups "$@"
}

# Who listens on the port, one "address:port" a line.
listeners() {
    ss -Hltn "sport = :$port" | awk '{print $4}'
}

# A process that has ended but is not yet reaped counts as gone.
alive() {
    state="$(ps -o stat= -p "$1" 2>/dev/null)" && [ "${state#Z}" = "$state" ]
}

running_pid() {
    [ -f "$dir/firebird.pid" ] || return 1
    pid="$(cat "$dir/firebird.pid")"
    [ -n "$pid" ] && [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = firebird ] && alive "$pid"
}

# The server takes its bind address from firebird.conf only; make it loopback.
bind_loopback() {
    if ! grep -Eq '^[[:space:]]*RemoteBindAddress[[:space:]]*=[[:space:]]*(127\.0\.0\.1|localhost)[[:space:]]*$' "$conf"; then
        sed -i -E '/^[[:space:]]*RemoteBindAddress[[:space:]]*=/d' "$conf"
        echo "RemoteBindAddress = 127.0.0.1" >>"$conf"
    fi
}

start() {
    [ -x "$server" ] || fail "$server is missing: install firebird3.0-server (tools/install-deps.sh)"
    if running_pid; then
        fail "already running as process $pid"
    fi
    [ -z "$(listeners)" ] || fail "port $port is taken: $(listeners | tr '\n' ' ')"
    bind_loopback
    mkdir -p "$dir/db" "$dir/lock"
    chmod 0755 "$dir"
    chown firebird:firebird "$dir/db" "$dir/lock"
    chmod 0770 "$dir/db" "$dir/lock"
    as_firebird test -w "$dir/db" || fail "the firebird user cannot reach $dir/db (a parent folder is closed to it)"

    # The security database is opened here by the embedded engine, before the
    # server holds it.
    echo "CREATE OR ALTER USER SYSDBA PASSWORD '$password';" |
        as_firebird isql-fb -q -b -user SYSDBA "$security" >"$dir/security.log" 2>&1 ||
        fail "cannot set the SYSDBA password: $(cat "$dir/security.log")"

    FIREBIRD_LOCK="$dir/lock" setpriv --reuid=firebird --regid=firebird --init-groups \
        "$server" </dev/null >"$dir/firebird.log" 2>&1 &
    pid=$!
    echo "$pid" >"$dir/firebird.pid"

    tries=0
    while [ -z "$(listeners)" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! alive "$pid"; then
            stop
            fail "the server did not start listening: $(cat "$dir/firebird.log")"
        fi
        sleep 0.1
    done
    if [ "$(listeners)" != "127.0.0.1:$port" ]; then
        bound="$(listeners | tr '\n' ' ')"
        stop
        fail "the server listened on $bound, not on loopback only"
    fi
    echo "firebird server started as process $pid on 127.0.0.1:$port"
}

stop() {
    if ! running_pid; then
        rm -f "$dir/firebird.pid"
        echo "firebird server of $dir is not running"
        return 0
    fi
    kill -TERM "$pid" 2>/dev/null || true
    # The server sometimes ignores its shutdown signal (its shutdown thread
    # can miss the start-up); after ten seconds it is killed.
    tries=0
    while alive "$pid" && [ $tries -lt 100 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    if alive "$pid"; then
        kill -KILL "$pid" 2>/dev/null || true
        while alive "$pid"; do sleep 0.1; done
    fi
    rm -f "$dir/firebird.pid"
    echo "firebird server process $pid stopped"
}

[ $# -eq 2 ] || usage
[ "$(id -u)" -eq 0 ] || fail "must run as root"
dir="$(realpath -m "$2")"
case "$1" in
start) start ;;
stop) stop ;;
*) usage ;;
esac
