#!/bin/sh
# Two desks on one database of a Firebird server on loopback:
#   desks_server.sh TOOL_DESK SOURCE_DIR
# starts the server (tools/firebird-server.sh), creates the database from the
# schema on it, runs two desks at once on the same places (bounded in count
# and time), then checks with isql-fb what they left: no place or vehicle
# with two open stays, every payment linked to a stay or listed as the
# vehicle's, the stays' and vehicles' totals equal to their payments, and the
# counts equal to what the desks report. The server is stopped by its process
# id whatever happens. Exit 77 (skipped) without root or the server package,
# except under CI, where that is a failure.
set -eu
desk="$1"
source="$2"
ops=300
seconds=90

skip() {
    echo "SKIP: $*"
    if [ "${CI:-}" = true ]; then exit 1; fi
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root to run the server as the firebird user"
[ -x /usr/sbin/firebird ] || skip "firebird3.0-server is not installed"

work="$(mktemp -d /tmp/tollvane-desks.XXXXXX)"
chmod 0755 "$work"
server="$work/server"
cleanup() {
    sh "$source/tools/firebird-server.sh" stop "$server" || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

failures=0
check() { # check WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        echo "ok: $1 ($3)"
    else
        echo "FAILED: $1: expected $2, got $3"
        failures=$((failures + 1))
    fi
}

sh "$source/tools/firebird-server.sh" start "$server"
folder="localhost:$server/db/"
sh "$source/tools/create-database.sh" "${folder}database.fdb" "$source/data/schema.sql"

value() {
    printf 'SET HEADING OFF;\n%s\n' "$1" |
        isql-fb -q -ch UTF8 -user SYSDBA -password gravelpit "${folder}database.fdb" |
        awk 'NF { print $1; exit }'
}

# The program folder of the desks: a remote database must leave it without
# an archive.
program="$work/program"
mkdir -p "$program"
cd "$program"
"$desk" --folder "$folder" --setup 4

start=$(date +%s.%N)
"$desk" --folder "$folder" --desk 1 --ops $ops --seconds $seconds >"$work/desk1.txt" &
one=$!
"$desk" --folder "$folder" --desk 2 --ops $ops --seconds $seconds >"$work/desk2.txt" &
two=$!
status=0
wait $one || status=1
wait $two || status=1
finish=$(date +%s.%N)
cat "$work/desk1.txt" "$work/desk2.txt"
check "both desks ran to their end" 0 $status

# Sums of the desks' figures: "in A," "out B," ... picked by their words.
sum() {
    cat "$work/desk1.txt" "$work/desk2.txt" | awk -v word="$1" -v nth="${2:-1}" '
        { seen = 0
          for (i = 1; i < NF; i++) if ($i == word && ++seen == nth) { v = $(i + 1); gsub(/[^0-9.]/, "", v); s += v } }
        END { printf "%d\n", s }'
}
ins=$(sum "(in")
outs=$(sum "out")
debts=$(sum "debt")
refused_ins=$(sum "(in" 2)
refused_debts=$(sum "debt" 2)
payments=$(sum "payments")
takings=$(sum "for")
refused=$(sum "refused")
echo "two desks: operations $((ins + outs + debts)), conflicts refused $refused, wall time $(awk -v a="$start" -v b="$finish" 'BEGIN { printf "%.2f", b - a }') s"

check "places with two open stays" 0 "$(value "SELECT COUNT(*) FROM (SELECT ID_PLACE FROM AUTO_ACTION
    WHERE ACTION_TYPE = 1 AND ACTION_TYPE2 <> 2 AND ID_PLACE > 0 GROUP BY ID_PLACE HAVING COUNT(*) > 1);")"
check "vehicles with two open stays" 0 "$(value "SELECT COUNT(*) FROM (SELECT ID_AUTO FROM AUTO_ACTION
    WHERE ACTION_TYPE = 1 AND ACTION_TYPE2 <> 2 GROUP BY ID_AUTO HAVING COUNT(*) > 1);")"
# Stays that ended are counted too: a second stay on a place (or of a
# vehicle) may not begin before the one before it ended.
overlaps() {
    value "SELECT COUNT(*) FROM AUTO_ACTION S1 JOIN AUTO_ACTION S2 ON S2.$1 = S1.$1 AND S2.ID <> S1.ID
        WHERE S1.ACTION_TYPE = 1 AND S2.ACTION_TYPE = 1 AND S1.$1 > 0
        AND (S2.IN_TIME > S1.IN_TIME OR (S2.IN_TIME = S1.IN_TIME AND S2.ID > S1.ID))
        AND (S1.OUT_TIME IS NULL OR S2.IN_TIME < S1.OUT_TIME);"
}
check "stays on one place that overlap in time" 0 "$(overlaps ID_PLACE)"
check "stays of one vehicle that overlap in time" 0 "$(overlaps ID_AUTO)"
check "payments neither linked nor listed" 0 "$(value "SELECT COUNT(*) FROM PAYMENTS P
    WHERE NOT EXISTS (SELECT 1 FROM AUTO_PAYMENT L WHERE L.ID_PAYMENT = P.ID)
    AND NOT EXISTS (SELECT 1 FROM AUTO A WHERE A.ID = P.ID_AUTO);")"
check "unlinked payments = refused check-ins and debt payments" $((refused_ins + refused_debts)) "$(value "SELECT COUNT(*)
    FROM PAYMENTS P WHERE NOT EXISTS (SELECT 1 FROM AUTO_PAYMENT L WHERE L.ID_PAYMENT = P.ID);")"
check "payments linked twice" 0 "$(value "SELECT COUNT(*) FROM (SELECT ID_PAYMENT FROM AUTO_PAYMENT
    GROUP BY ID_PAYMENT HAVING COUNT(*) > 1);")"
check "stays without their check-in payment's link" 0 "$(value "SELECT COUNT(*) FROM AUTO_ACTION S
    WHERE S.ID_PAYMENT > 0 AND NOT EXISTS (SELECT 1 FROM AUTO_PAYMENT L
    WHERE L.ID_PAYMENT = S.ID_PAYMENT AND L.ID_AUTO_ACTION = S.ID AND L.ID_AUTO = S.ID_AUTO);")"
check "stays whose amount is not their debt payments'" 0 "$(value "SELECT COUNT(*) FROM AUTO_ACTION S
    WHERE COALESCE(S.SUMMA, 0) <> COALESCE((SELECT SUM(P.SUMMA) FROM AUTO_PAYMENT L
    JOIN PAYMENTS P ON P.ID = L.ID_PAYMENT WHERE L.ID_AUTO_ACTION = S.ID AND P.ID <> S.ID_PAYMENT), 0);")"
check "stays whose paid minutes are not their payments'" 0 "$(value "SELECT COUNT(*) FROM AUTO_ACTION S
    WHERE S.MINUTES_PAIED <> COALESCE((SELECT SUM(P.MINUTES_START) FROM AUTO_PAYMENT L
    JOIN PAYMENTS P ON P.ID = L.ID_PAYMENT WHERE L.ID_AUTO_ACTION = S.ID), 0);")"
check "vehicles whose total is not their payments'" 0 "$(value "SELECT COUNT(*) FROM AUTO A
    WHERE A.SUMMA_KREDIT <> COALESCE((SELECT SUM(P.SUMMA) FROM PAYMENTS P WHERE P.ID_AUTO = A.ID), 0);")"
check "payments stored = payments the desks took" "$payments" "$(value "SELECT COUNT(*) FROM PAYMENTS;")"
check "amount stored = the desks' takings" "$takings" "$(value "SELECT CAST(SUM(SUMMA) AS INTEGER) FROM PAYMENTS;")"
check "stays stored = check-ins" "$ins" "$(value "SELECT COUNT(*) FROM AUTO_ACTION;")"
check "stays closed = check-outs" "$outs" "$(value "SELECT COUNT(*) FROM AUTO_ACTION WHERE ACTION_TYPE2 = 2;")"
check "stays closed without a check-out moment" 0 "$(value "SELECT COUNT(*) FROM AUTO_ACTION
    WHERE ACTION_TYPE2 = 2 AND OUT_TIME IS NULL;")"
check "the desks raced (conflicts refused)" yes "$([ "$refused" -gt 0 ] && echo yes || echo no)"
check "no archive for a server database" no "$([ -e "$program/backup" ] && echo yes || echo no)"

# An unreachable server ends the start-up with E1001 (and never E1000).
sh "$source/tools/firebird-server.sh" stop "$server"
if "$desk" --folder "$folder" --desk 3 --ops 1 >"$work/down.txt" 2>&1; then down=0; else down=$?; fi
check "start-up against a stopped server fails" 1 $down
check "its message is E1001" yes "$(grep -q 'E1001' "$work/down.txt" && ! grep -q 'E1000' "$work/down.txt" && echo yes || echo no)"

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
