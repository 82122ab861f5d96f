#!/usr/bin/env bash
# Installs the Debian packages that building (and, with --test, testing) needs, if missing.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-webengine-dev fonts-dejavu-core fonts-liberation xdg-utils)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(poppler-utils xvfb xauth)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
