#!/usr/bin/env bash
# Starts or stops a private PostgreSQL server for the results-database tests: its own data
# directory, port and socket directory, trust authentication on 127.0.0.1 only, a database
# "zul_results" (ZUL_PG_DATABASE overrides) loaded from db/postgresql.sql and a superuser "zul".
#
#   pg-test-server.sh start DIR PORT   (DIR is wiped and recreated)
#   pg-test-server.sh stop  DIR PORT
#
# PostgreSQL refuses to run as root, so as root the server runs as the "postgres" account.
# With ZUL_PG_OPTIONAL=1 a failed start only prints a notice and exits 0 (the tests then skip),
# unless CI=true, where a missing server must fail the run. ZUL_PG_BINDIR names the directory of
# initdb and pg_ctl when they are not in /usr/lib/postgresql/<version>/bin.
set -uo pipefail

usage() {
    echo "usage: $0 start|stop DIR PORT" >&2
    exit 2
}

[ $# -eq 3 ] || usage
command=$1
dir=$(realpath -m "$2")
port=$3
here=$(cd "$(dirname "$0")" && pwd)
# The server tools run as postgres, which may not be allowed into the caller's directory.
cd /
schema="$here/../db/postgresql.sql"
database=${ZUL_PG_DATABASE:-zul_results}
superuser=zul
marker=.zul-pg-test-server

find_bindir() {
    local candidate
    if [ -n "${ZUL_PG_BINDIR:-}" ]; then # a server installed elsewhere
        [ -x "$ZUL_PG_BINDIR/initdb" ] && [ -x "$ZUL_PG_BINDIR/pg_ctl" ] && echo "$ZUL_PG_BINDIR"
        return
    fi
    for candidate in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
        [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ] && { echo "$candidate"; return 0; }
    done
    candidate=$(dirname "$(command -v initdb 2>/dev/null || echo /nonexistent/initdb)")
    [ -x "$candidate/pg_ctl" ] && { echo "$candidate"; return 0; }
    return 1
}

as_owner() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

give_up() {
    echo "pg-test-server: $*" >&2
    if [ "${ZUL_PG_OPTIONAL:-0}" = 1 ] && [ "${CI:-}" != true ]; then
        echo "pg-test-server: PostgreSQL tests will be skipped" >&2
        exit 0
    fi
    exit 1
}

stop_server() {
    local bin=$1
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null 2>&1 \
            || as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1
    fi
}

# DIR is wiped, so only a directory this script made (or an empty or missing one) is accepted.
check_dir() {
    case $dir in
    "" | / | /tmp | /tmp/) echo "pg-test-server: refusing DIR '$dir'" >&2; exit 2 ;;
    esac
    if [ -d "$dir" ] && [ ! -f "$dir/$marker" ] && [ -n "$(ls -A "$dir")" ]; then
        echo "pg-test-server: $dir is not empty and was not made by this script" >&2
        exit 2
    fi
}

start() {
    local bin
    bin=$(find_bindir) || give_up "PostgreSQL server binaries (initdb, pg_ctl) not found"
    stop_server "$bin" # a server left over from an interrupted run
    rm -rf "$dir"
    mkdir -p "$dir" && touch "$dir/$marker" || give_up "cannot create $dir"
    if [ "$(id -u)" = 0 ]; then
        id postgres >/dev/null 2>&1 || give_up "running as root but there is no postgres account"
        chown postgres: "$dir" || give_up "cannot hand $dir to postgres"
    fi
    as_owner "$bin/initdb" -D "$dir/data" -U "$superuser" -A trust -E UTF8 --no-locale \
        >"$dir/initdb.log" 2>&1 || give_up "initdb failed, see $dir/initdb.log"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1" start >/dev/null \
        || give_up "server did not start on port $port, see $dir/server.log"
    local psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U "$superuser")
    "${psql[@]}" -d postgres -c "CREATE DATABASE $database" >/dev/null \
        || give_up "cannot create database $database"
    "${psql[@]}" -d "$database" -f "$schema" >/dev/null || give_up "cannot load $schema"
    echo "pg-test-server: PostgreSQL on 127.0.0.1:$port, database $database, user $superuser"
}

check_dir
case $command in
start) start ;;
stop)
    bin=$(find_bindir) || exit 0
    stop_server "$bin"
    rm -rf "$dir"
    ;;
*) usage ;;
esac
