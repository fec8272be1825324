#!/usr/bin/env bash
# The team load on the test cluster that scripts/test.sh starts (Q7_PG_CONNECTION).
# Without a server it is skipped (status 77), unless Q7_REQUIRE_SERVER=1 asks for
# one, as the server tests do.
# Usage: scripts/team-load-server.sh PATH/q7bench-team [OPTIONS...]
set -euo pipefail
bench=$1
shift
if [ -z "${Q7_PG_CONNECTION:-}" ]; then
  if [ "${Q7_REQUIRE_SERVER:-}" = 1 ]; then
    echo "Q7_REQUIRE_SERVER=1 but Q7_PG_CONNECTION names no server" >&2
    exit 1
  fi
  echo "no PostgreSQL server: set Q7_PG_CONNECTION (scripts/test.sh starts one) to run this test"
  exit 77
fi
exec "$bench" --server "$Q7_PG_CONNECTION" "$@"
