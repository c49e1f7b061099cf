# Starts the two private servers the tests use and exports where they are:
# ZELMAR_TEST_PORT (offers TLS), ZELMAR_TEST_PLAIN_PORT (no TLS),
# ZELMAR_TEST_USER, ZELMAR_TEST_PASSWORD and ZELMAR_TEST_CA (the TLS server's certificate). Source this file; call
# test_servers_start RUNDIR, and test_servers_stop when done.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=mariadb.sh
source "$here/mariadb.sh"

test_servers_start() {
  local run=$1
  mkdir -p "$run"
  mariadb_init "$run/base" || return 1
  mariadb_tls_files "$run/base" || return 1
  cp -a "$run/base/data" "$run/plain-data"
  ZELMAR_TEST_USER=zelmar_test
  ZELMAR_TEST_PASSWORD="t$RANDOM$RANDOM"
  local grant="CREATE USER '$ZELMAR_TEST_USER'@'127.0.0.1' IDENTIFIED BY '$ZELMAR_TEST_PASSWORD';
    GRANT ALL PRIVILEGES ON *.* TO '$ZELMAR_TEST_USER'@'127.0.0.1' WITH GRANT OPTION;"

  mariadb_start "$run/base/data" "$run/tls" --ssl-cert="$run/base/cert.pem" --ssl-key="$run/base/key.pem" \
    --max-connections=500 || return 1
  ZELMAR_TEST_TLS_PID=$MARIADB_PID
  # The certificate the TLS server shows: a site CA file for the tests that verify it.
  ZELMAR_TEST_CA=$run/base/cert.pem
  ZELMAR_TEST_PORT=$MARIADB_PORT
  mariadb_sql "$grant" || return 1

  mariadb_start "$run/plain-data" "$run/plain" --skip-ssl --max-connections=200 || return 1
  ZELMAR_TEST_PLAIN_PID=$MARIADB_PID
  ZELMAR_TEST_PLAIN_PORT=$MARIADB_PORT
  mariadb_sql "$grant" || return 1

  export ZELMAR_TEST_PORT ZELMAR_TEST_PLAIN_PORT ZELMAR_TEST_USER ZELMAR_TEST_PASSWORD ZELMAR_TEST_CA
}

test_servers_stop() {
  mariadb_stop "${ZELMAR_TEST_TLS_PID:-}"
  mariadb_stop "${ZELMAR_TEST_PLAIN_PID:-}"
}
