#!/bin/sh
# scripts/pg.sh start|stop|url [build-dir]: a throw-away PostgreSQL cluster for the tests in
# <build-dir>/pg (default build/release), reachable only through a socket in that folder.
# When run as root the server runs as an ordinary user ($ZELK_PG_OS_USER, default postgres).
# "start" prints the connection URL for ZELK_TEST_PG; "stop" stops the server and removes
# the cluster.
set -e
cmd="$1"
dir="${2:-build/release}"
mkdir -p "$dir"
base="$(cd "$dir" && pwd)/pg"
data="$base/data"
sock="$base/sock"
port="${ZELK_PG_PORT:-54329}"
osuser="${ZELK_PG_OS_USER:-postgres}"
url="postgresql://postgres@/postgres?host=$sock&port=$port"

bin=""
if ! command -v pg_ctl >/dev/null 2>&1; then
  for d in /usr/lib/postgresql/*/bin; do [ -x "$d/pg_ctl" ] && bin="$d/"; done
fi
as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u "$osuser" -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
  if ! command -v "${bin}initdb" >/dev/null 2>&1; then
    echo "pg.sh: initdb not found; install the postgresql package" >&2
    exit 1
  fi
  if [ -f "$data/postmaster.pid" ]; then
    as_server "${bin}pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$base"
  mkdir -p "$data" "$sock"
  [ "$(id -u)" -eq 0 ] && chown -R "$osuser" "$base"
  as_server "${bin}initdb" -D "$data" -U postgres -A trust -E UTF8 --locale=C --no-sync \
    >"$base/initdb.log" 2>&1 || { cat "$base/initdb.log" >&2; exit 1; }
  # Every login signs in through the socket without a password, except members of the group
  # zelk_password_login (made by the tests that sign in with a password).
  cat >"$data/pg_hba.conf" <<'HBA'
local all postgres trust
local all +zelk_password_login scram-sha-256
local all all trust
HBA
  # Throw-away data: no syncs, and nothing listens on the network.
  as_server "${bin}pg_ctl" -D "$data" -l "$base/server.log" -w -t 60 \
    -o "-k $sock -p $port -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=60" \
    start >/dev/null || { cat "$base/server.log" >&2; exit 1; }
  # The schema enables PostGIS; in the template every test database starts with it, which
  # spares each one the seconds its creation takes.
  "${bin}psql" -q -h "$sock" -p "$port" -U postgres -d template1 \
    -c "CREATE EXTENSION IF NOT EXISTS postgis" >/dev/null 2>&1 || true
  echo "$url"
  ;;
stop)
  if [ -f "$data/postmaster.pid" ]; then
    as_server "${bin}pg_ctl" -D "$data" -m fast -w stop >/dev/null
  fi
  rm -rf "$base"
  ;;
url)
  echo "$url"
  ;;
*)
  echo "usage: scripts/pg.sh start|stop|url [build-dir]" >&2
  exit 2
  ;;
esac
