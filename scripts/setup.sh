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
    # sanitizer run and fuzzing: clang with its runtimes (libclang-rt-N-dev is added below)
    clang llvm ccache
    # the upload benchmark: lftp as the peer, pure-ftpd as a server
    lftp pure-ftpd
    # encrypted connections: OpenSSL and libssh2, TLS and SFTP test servers
    libssl-dev libssh2-1-dev python3-openssl python3-cryptography python3-asyncssh
    openssh-server # the SSH server hosts run: host keys and algorithms against the real thing
)

# The sanitizer and fuzzer runtimes come per clang version, and the distribution's default clang
# differs between releases (14 on Debian 12, 19 on Debian 13): take the one the package clang
# depends on, installed or about to be.
clangMajor() {
    local depends
    if dpkg-query -W -f='${Status}' clang 2>/dev/null | grep -q "install ok installed"; then
        depends=$(dpkg-query -W -f='${Depends}' clang)
    else
        depends=$(apt-cache show --no-all-versions clang 2>/dev/null | sed -n 's/^Depends: //p')
    fi
    grep -oE '(^|[ ,])clang-[0-9]+' <<<"$depends" | grep -oE '[0-9]+' | head -n 1 || true
}

# sudo drops the environment, so DEBIAN_FRONTEND goes through env on its command line.
as_root=()
if [ "$(id -u)" -eq 0 ]; then
    as_root=(env DEBIAN_FRONTEND=noninteractive)
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
fi

updated=false
major=$(clangMajor)
if [ -z "$major" ] && [ ${#as_root[@]} -gt 0 ]; then
    # A fresh system may have no package lists yet.
    "${as_root[@]}" apt-get update -qq
    updated=true
    major=$(clangMajor)
fi
if [ -z "$major" ]; then
    echo "setup.sh: Die Version von clang lässt sich nicht bestimmen (apt-cache show clang)." >&2
    exit 1
fi
packages+=("libclang-rt-$major-dev")

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

if [ ${#as_root[@]} -eq 0 ]; then
    echo "setup.sh: Es fehlen Pakete: ${missing[*]}" >&2
    echo "Installieren Sie sie als root (apt-get install ...) oder richten Sie sudo ein." >&2
    exit 1
fi

$updated || "${as_root[@]}" apt-get update -qq
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
