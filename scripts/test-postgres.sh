# Sourced by scripts/test and .ci/run: the PostgreSQL server the shared-database tests use, from
# Debian's package, on a free port of 127.0.0.1 only, in a folder of its own, stopped however the
# run ends. Nothing is started when MARLINQ_TEST_POSTGRES_URL already names one (CI starts one for
# all of its builds). The server will not run as root: as root its tools run as the postgres user.
# Its data lives only as long as the run, so it does not wait for the disk (no fsync, no full page
# images); commits stay synchronous, so a commit the server confirmed survives an immediate stop.
if [ -z "${MARLINQ_TEST_POSTGRES_URL:-}" ]; then
  pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
  pg_dir=$(mktemp -d /tmp/marlinq-test-postgres-XXXXXX)
  as_pg=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$pg_dir"
    as_pg=(runuser -u postgres --)
  fi
  stop_test_postgres() {
    "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$pg_dir"
  }
  trap stop_test_postgres EXIT
  "${as_pg[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -A trust -U marlinq -N -E UTF8 --locale=C >/dev/null
  pg_port=
  for _ in 1 2 3 4 5 6 7 8; do
    port=$((20000 + RANDOM % 40000))
    if "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/log" -w \
        -o "-p $port -k $pg_dir -c listen_addresses=127.0.0.1 -c max_connections=200 -c fsync=off -c full_page_writes=off" start >/dev/null; then
      pg_port=$port
      break
    fi
  done
  if [ -z "$pg_port" ]; then
    echo "the PostgreSQL server for the tests did not start:" >&2
    cat "$pg_dir/log" >&2
    exit 1
  fi
  export MARLINQ_TEST_POSTGRES_URL="postgresql://marlinq@127.0.0.1:$pg_port/postgres"
  echo "== PostgreSQL test server on 127.0.0.1:$pg_port =="
fi
