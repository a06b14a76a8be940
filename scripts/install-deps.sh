#!/usr/bin/env bash
# Installs whatever of the package list is missing. As root it uses apt-get; otherwise it
# says exactly what to install.
set -euo pipefail
list=${1:-packages.txt}
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$list" | awk '{print $1}')
missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing; install them as root:" >&2
  echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
# Korean locale for the language tests that go through glibc.
if [ -f /etc/locale.gen ] && ! locale -a 2>/dev/null | grep -qi '^ko_KR.utf8$'; then
  sed -i 's/^# *ko_KR.UTF-8 UTF-8/ko_KR.UTF-8 UTF-8/' /etc/locale.gen
  locale-gen >/dev/null || true
fi
