#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: initdb + pg_ctl in a folder of
# its own, on a free local port, the unix socket in the same folder, no system
# service. As root the cluster runs as the unprivileged user q7pg (made when
# missing): initdb refuses to run as root.
#
# Usage: scripts/pg-cluster.sh start DIR   prints the libpq connection string
#                                          (also written to DIR/connection)
#        scripts/pg-cluster.sh stop DIR    stops the cluster and removes DIR
set -euo pipefail

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "pg-cluster: PostgreSQL server programs not found (install the postgresql package)" >&2
  exit 1
fi

owner=$(id -un)
as_owner() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  owner=q7pg
  if ! id -u "$owner" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$owner"
  fi
  as_owner() { runuser -u "$owner" -- "$@"; }
fi

free_port() {
  local port
  for _ in $(seq 1 50); do
    port=$((20000 + RANDOM % 20000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  echo "pg-cluster: no free port found" >&2
  return 1
}

case "$action" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  chown "$owner" "$dir"
  chmod 755 "$dir"
  port=$(free_port)
  as_owner "$bin/initdb" -D "$dir/data" -U q7 --auth=trust --encoding=UTF8 --locale=C.UTF-8 --lc-collate=C >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    exit 1
  }
  cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$dir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 100
EOF
  if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
    cat "$dir/server.log" >&2 || true
    exit 1
  fi
  connection="host=$dir port=$port user=q7 dbname=postgres"
  echo "$connection" >"$dir/connection"
  echo "$connection"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
