#!/usr/bin/env bash
# An outage in the middle of an encrypted upload, by hand: 2001 pages over ftpes:// to vsftpd
# with its TLS defaults (require_ssl_reuse=YES), the server killed and started again one second
# into the run. Prints the exit code, the seconds, and how many pages arrived byte-identical.
# Runs as root (vsftpd needs it) after scripts/setup.sh and a build:
#   sudo bench/outage-upload.sh [PARALLEL] [CLI]
set -euo pipefail
parallel=${1:-1}
cli=${2:-$(dirname "$0")/../build/dev/bin/vantiro-cli}
vsftpd=/var/cache/vantiro/servers/usr/sbin/vsftpd
[ -x "$vsftpd" ] || { echo "outage-upload.sh: $vsftpd fehlt (scripts/setup.sh)" >&2; exit 2; }

work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && stop_server
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
mkdir -p "$work/root/upload" "$work/empty" "$work/home/doorpages/images"
chown daemon "$work/root/upload"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
passive=$(free_port)

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
    -addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout "$work/key.pem" \
    -out "$work/cert.pem" 2>/dev/null
fingerprint="SHA256:$(openssl x509 -in "$work/cert.pem" -pubkey -noout |
    openssl pkey -pubin -outform DER | openssl dgst -sha256 -binary | base64 -w0 | tr -d =)"
cat >"$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
anonymous_enable=YES
local_enable=NO
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
no_anon_password=YES
anon_root=$work/root
ftp_username=daemon
secure_chroot_dir=$work/empty
pasv_min_port=$passive
pasv_max_port=$((passive + 40))
seccomp_sandbox=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
rsa_cert_file=$work/cert.pem
rsa_private_key_file=$work/key.pem
CONF

for i in $(seq 0 2000); do
    printf '<html><body>Auto_Teile_%d\r\n%s</body></html>\r\n' "$i" \
        "$(head -c $((i % 3000 + 100)) /dev/urandom | base64 -w0)" \
        >"$work/home/doorpages/Auto_Teile_$i.htm"
done

# vsftpd's per-connection processes lead sessions of their own: the restart kills them by
# their parent, as a crash or a restart of the service would end them.
start_server() {
    "$vsftpd" "$work/vsftpd.conf" >"$work/vsftpd.log" 2>&1 &
    server_pid=$!
    sleep 0.3
}
stop_server() {
    local children
    children=$(pgrep -P "$server_pid" || true)
    for child in $children; do pkill -KILL -P "$child" || true; done
    kill -KILL "$server_pid" $children 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=
}

start_server
begin=$(date +%s.%N)
set +e
VANTIRO_FTP_PASSWORD=x "$cli" upload --server "ftpes://127.0.0.1:$port" --user anonymous \
    --fingerprint "$fingerprint" --remote /upload --home "$work/home" --parallel "$parallel" \
    >"$work/out.txt" 2>"$work/err.txt" &
upload=$!
sleep 1
stop_server
start_server
wait "$upload"
code=$?
set -e
end=$(date +%s.%N)

identical=0
for page in "$work"/home/doorpages/*.htm; do
    cmp -s "$page" "$work/root/upload/$(basename "$page")" && identical=$((identical + 1))
done
echo "parallel=$parallel exit=$code seconds=$(echo "$end - $begin" | bc)" \
    "identical=$identical/2001 on_server=$(find "$work/root/upload" -type f | wc -l)" \
    "FEHLER=$(grep -c FEHLER "$work/out.txt" || true)" \
    "retries=$(grep -c 'neuer Versuch' "$work/err.txt" || true)"
