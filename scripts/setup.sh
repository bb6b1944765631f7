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
[ ${#missing[@]} -eq 0 ] && exit 0

if [ ${#as_root[@]} -eq 0 ]; then
    echo "setup.sh: Es fehlen Pakete: ${missing[*]}" >&2
    echo "Installieren Sie sie als root (apt-get install ...) oder richten Sie sudo ein." >&2
    exit 1
fi

echo "Installiere: ${missing[*]}"
$updated || "${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
