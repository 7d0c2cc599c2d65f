#!/usr/bin/env bash
# Starts (start) or stops (stop) two vsftpd servers on 127.0.0.1 that require TLS for the login
# and the data, for the tests and the benchmark: "vsftpd" takes PORT, "vsftpd-passive" refuses
# it so a client has to fall back to PASV. Both serve a new folder /tmp/vaultick-vsftpd.* (its
# path in STATE_DIR/served, removed at stop) to the local user vaultick-ftp (made by
# scripts/setup) with a self-signed certificate made here; STATE_DIR/ports
# gets "name port" lines once both greet, STATE_DIR/fingerprint the certificate's SHA-256 (64
# hexadecimal digits), STATE_DIR/password the account's password. The account has a new random
# password only while the servers run, and is locked again when they stop: nobody else logs in
# with it, here or through any other service of the machine.
# REUSE (default NO) is vsftpd's require_ssl_reuse: YES refuses a data connection whose TLS
# session does not resume the control connection's.
# vsftpd logs local users in through PAM and changes to their user, so it runs as root.
# Usage: vsftpd.sh start|stop STATE_DIR [REUSE]
set -euo pipefail
state="$2"
user=vaultick-ftp
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -n)

stop() {
  local pidfile
  for pidfile in "$state"/*.pid; do
    [ -f "$pidfile" ] || continue
    "${as_root[@]}" kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  done
  "${as_root[@]}" usermod --lock "$user" 2>/dev/null || true
  if [ -f "$state/served" ]; then
    local served
    served=$(cat "$state/served")
    case "$served" in /tmp/vaultick-vsftpd.*) rm -rf -- "$served" ;; esac
    rm -f "$state/served"
  fi
}

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits up to a minute for the server's "220" greeting.
greets() {
  /usr/bin/python3 - "$1" <<'PY'
import socket, sys, time
deadline = time.time() + 60
while time.time() < deadline:
    try:
        with socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=5) as s:
            if s.recv(64).startswith(b"220"):
                sys.exit(0)
    except OSError:
        pass
    time.sleep(0.1)
sys.exit(1)
PY
}

case "$1" in
  start)
    reuse="${3:-NO}"
    [ -d "$state" ] && stop
    rm -rf "$state"
    mkdir -p "$state/empty"
    if ! id "$user" >/dev/null 2>&1; then
      echo "vsftpd.sh: no local user $user (run scripts/setup)" >&2
      exit 1
    fi
    # The served folder lies where the account can reach it: the folders above a build tree
    # (a clone in a private folder) may let nobody else through.
    served=$(mktemp -d /tmp/vaultick-vsftpd.XXXXXX)
    printf '%s' "$served" >"$state/served"
    "${as_root[@]}" chown "$user:" "$served"
    (umask 077 && /usr/bin/python3 -c 'import secrets; print(secrets.token_urlsafe(18), end="")' >"$state/password")
    printf '%s:%s\n' "$user" "$(cat "$state/password")" | "${as_root[@]}" chpasswd
    "${as_root[@]}" usermod --unlock "$user"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
      -keyout "$state/cert.pem" -out "$state/cert.pem" 2>/dev/null
    openssl x509 -in "$state/cert.pem" -noout -fingerprint -sha256 | cut -d= -f2 | tr -d ':\n' >"$state/fingerprint"
    # Passive ports below Linux's ephemeral range, where the clients' own ports are not.
    pasv=$((20000 + RANDOM % 120 * 100))
    : >"$state/ports.tmp"
    for name in vsftpd vsftpd-passive; do
      port=$(free_port)
      active=YES
      [ "$name" = vsftpd ] || active=NO
      cat >"$state/$name.conf" <<EOF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
pam_service_name=vaultick-ftp
userlist_enable=NO
chroot_local_user=YES
allow_writeable_chroot=YES
local_root=$served
secure_chroot_dir=$state/empty
port_enable=$active
connect_from_port_20=NO
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=$pasv
pasv_max_port=$((pasv + 99))
ssl_enable=YES
ssl_sslv2=NO
ssl_sslv3=NO
ssl_tlsv1=NO
ssl_ciphers=HIGH
force_local_logins_ssl=YES
force_local_data_ssl=YES
require_ssl_reuse=$reuse
rsa_cert_file=$state/cert.pem
rsa_private_key_file=$state/cert.pem
xferlog_enable=YES
log_ftp_protocol=YES
vsftpd_log_file=$state/$name.log
EOF
      "${as_root[@]}" nohup /usr/sbin/vsftpd "$state/$name.conf" </dev/null >"$state/$name.out" 2>&1 &
      echo $! >"$state/$name.pid"
      if ! greets "$port"; then
        echo "vsftpd.sh: $name did not start:" >&2
        cat "$state/$name.out" >&2
        stop
        exit 1
      fi
      echo "$name $port" >>"$state/ports.tmp"
    done
    mv "$state/ports.tmp" "$state/ports"
    ;;
  stop)
    stop
    ;;
  *) echo "usage: vsftpd.sh start|stop STATE_DIR [REUSE]" >&2; exit 2 ;;
esac
