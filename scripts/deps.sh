#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its tools need (only those missing),
# for the Qt chosen by TARVELO_QT (5, the default, or 6).
set -euo pipefail
packages=(
    cmake g++ make pkg-config
    libtiff-dev xvfb xauth
    libssl-dev  # libcrypto's SHA-256 for the transfer record
    fonts-liberation  # metric twin of Arial, the font every window asks for
    desktop-file-utils appstream  # validators of the desktop entry and metainfo (tst_install)
    dpkg-dev file  # dpkg-shlibdeps and file, for the package's computed dependencies
)
case "${TARVELO_QT:-5}" in
    5) packages+=(
        qtbase5-dev qtbase5-dev-tools libqt5svg5-dev qttools5-dev qttools5-dev-tools
        qt5-image-formats-plugins qt5-assistant libqt5help5 libqt5sql5-sqlite
        qttranslations5-l10n  # Qt's own German, for the standard dialogs
    ) ;;
    6) packages+=(
        qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
        qt6-documentation-tools  # qhelpgenerator
        qt6-image-formats-plugins qt6-qpa-plugins assistant-qt6 libqt6help6 libqt6sql6-sqlite
        qt6-translations-l10n
    ) ;;
    *) echo "deps.sh: TARVELO_QT must be 5 or 6, not ${TARVELO_QT}" >&2; exit 1 ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
