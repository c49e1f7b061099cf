# Private MariaDB servers for the tests and the demo. Source this file.
# Never touches a server that is already running: every server gets its own
# data folder, socket and a free loopback port, and is stopped by its PID.

# mariadb_init DIR: a fresh data folder with an admin account for TCP use.
mariadb_init() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$dir"
  mariadb-install-db --no-defaults --user=root --datadir="$dir/data" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 || {
    cat "$dir/install.log" >&2
    return 1
  }
}

# mariadb_tls_files DIR: a self-signed certificate so that a server can offer TLS.
mariadb_tls_files() {
  local dir=$1
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=zelmar-test" \
    -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" \
    -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
}

_mariadb_port_in_use() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# mariadb_start DATADIR RUNDIR [extra mariadbd options...]
# Sets MARIADB_PORT, MARIADB_PID and MARIADB_SOCKET.
mariadb_start() {
  local datadir=$1 rundir=$2
  shift 2
  mkdir -p "$rundir"
  local attempt port
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 30000))
    _mariadb_port_in_use "$port" && continue
    MARIADB_SOCKET="$rundir/mysqld.sock"
    mariadbd --no-defaults --user=root --datadir="$datadir" --socket="$MARIADB_SOCKET" \
      --pid-file="$rundir/mysqld.pid" --bind-address=127.0.0.1 --port="$port" \
      --skip-name-resolve --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
      --log-error="$rundir/error.log" "$@" &
    MARIADB_PID=$!
    local i
    for i in $(seq 1 100); do
      if ! kill -0 "$MARIADB_PID" 2>/dev/null; then
        break
      fi
      if mariadb-admin --no-defaults --socket="$MARIADB_SOCKET" -uroot ping >/dev/null 2>&1; then
        MARIADB_PORT=$port
        return 0
      fi
      sleep 0.1
    done
    kill "$MARIADB_PID" 2>/dev/null
    wait "$MARIADB_PID" 2>/dev/null
  done
  echo "mariadb: could not start a private server; see $rundir/error.log" >&2
  return 1
}

# mariadb_sql SQL...: runs statements as the server's root over its socket.
mariadb_sql() {
  mariadb --no-defaults --socket="$MARIADB_SOCKET" -uroot -e "$*"
}

# mariadb_stop PID: stops one of our servers and waits for it.
mariadb_stop() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  local i
  for i in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
}
