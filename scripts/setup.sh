#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when they are missing.
# Works as root (no sudo needed) and as a user who may use sudo.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libcurl4-openssl-dev
    # run: Qt's own buttons and dialogs in German
    qt6-translations-l10n
    # tests: GoogleTest, the FTP test server, the format check, the package checks
    libgtest-dev libgmock-dev python3-pyftpdlib clang-format
    desktop-file-utils appstream dpkg-dev file lintian
    # sanitizer run and fuzzing: clang with its runtimes
    clang libclang-rt-14-dev llvm
    # the upload benchmark: lftp as the peer, pure-ftpd as a server
    lftp pure-ftpd
    # encrypted connections: OpenSSL and libssh2, TLS and SFTP test servers
    libssl-dev libssh2-1-dev python3-openssl python3-cryptography python3-asyncssh
    openssh-server # the SSH server hosts run: host keys and algorithms against the real thing
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

# The FTP servers that hosts run, for the transfer tests: vsftpd and proftpd conflict with the
# installed pure-ftpd as Debian packages, so they are only unpacked into a folder the tests
# know, and the libraries they need are installed.
servers_folder=/var/cache/vantiro/servers
unpacked_servers=(vsftpd proftpd-core proftpd-mod-crypto)
unpacked_missing=()
for package in "${unpacked_servers[@]}"; do
    [ -f "$servers_folder/$package.unpacked" ] || unpacked_missing+=("$package")
done

[ ${#missing[@]} -eq 0 ] && [ ${#unpacked_missing[@]} -eq 0 ] && exit 0

# sudo drops the environment, so DEBIAN_FRONTEND goes through env on its command line.
if [ "$(id -u)" -eq 0 ]; then
    as_root=(env DEBIAN_FRONTEND=noninteractive)
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
else
    echo "setup.sh: Es fehlen Pakete: ${missing[*]}" >&2
    echo "Installieren Sie sie als root (apt-get install ...) oder richten Sie sudo ein." >&2
    exit 1
fi

"${as_root[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installiere: ${missing[*]}"
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ${#unpacked_missing[@]} -gt 0 ]; then
    echo "Entpacke nach $servers_folder: ${unpacked_missing[*]}"
    download=$(mktemp -d)
    trap 'rm -rf "$download"' EXIT
    chmod 755 "$download" # apt's download user writes here
    (cd "$download" && "${as_root[@]}" apt-get download "${unpacked_missing[@]}")
    dependencies=()
    for deb in "$download"/*.deb; do
        # Only the libraries and tools: the server packages themselves would conflict.
        while IFS= read -r dependency; do
            dependency=${dependency## }
            case "$dependency" in
            proftpd* | vsftpd* | pure-ftpd* | debconf* | "") ;;
            *) dependencies+=("$dependency") ;;
            esac
        done < <(dpkg-deb -f "$deb" Depends | tr ',' '\n')
    done
    [ ${#dependencies[@]} -eq 0 ] ||
        "${as_root[@]}" apt-get satisfy -y -qq --no-install-recommends "$(IFS=,; echo "${dependencies[*]}")"
    for deb in "$download"/*.deb; do
        package=$(dpkg-deb -f "$deb" Package)
        "${as_root[@]}" mkdir -p "$servers_folder"
        "${as_root[@]}" dpkg-deb -x "$deb" "$servers_folder"
        "${as_root[@]}" touch "$servers_folder/$package.unpacked"
    done
fi
