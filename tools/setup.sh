#!/bin/sh
# Installs on Debian what building and testing LumaraList needs and is missing.
# Quick and silent when everything is there. Runs as root, or through sudo.
set -eu

# The x86_64 compiler and wine64 build and run the Windows programs' stand-in where i686
# programs cannot start.
PACKAGES="cmake g++ make pkg-config googletest libbenchmark-dev g++-mingw-w64-i686-posix
g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb xauth fonts-ipafont-gothic imagemagick locales
clang libclang-rt-14-dev libaribb24-dev libdvbpsi-dev python3 xmltv-util bsdutils time"

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi

missing=""
for pkg in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    case "$status" in
        *" installed") ;;
        *) missing="$missing $pkg" ;;
    esac
done

if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

# Wine answers in the system code page, which follows the locale: the tests run in Japanese.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    $SUDO sh -c "sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && \
        (grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen) && \
        locale-gen >/dev/null"
fi
