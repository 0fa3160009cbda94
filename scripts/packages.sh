#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet, without the
# packages they only recommend. Where Debian 12 and 13 differ, an argument names alternatives,
# "a|b": the first one this release has is installed (none is needed when one is already there).
set -euo pipefail
installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}
# A package this release holds (a purely virtual or unknown name has no candidate).
available() {
  local policy
  policy=$(apt-cache policy "$1" 2>/dev/null)
  [[ $policy == *"Candidate: "* && $policy != *"Candidate: (none)"* ]]
}
missing=()
for want in "$@"; do
  have=
  for pkg in ${want//|/ }; do
    installed "$pkg" && have=1
  done
  [ -n "$have" ] || missing+=("$want")
done
[ ${#missing[@]} -gt 0 ] || exit 0

apt-get update -q
chosen=()
for want in "${missing[@]}"; do
  pick=
  for pkg in ${want//|/ }; do
    if available "$pkg"; then
      pick=$pkg
      break
    fi
  done
  [ -n "$pick" ] || { echo "no package of \"$want\" on this release" >&2; exit 1; }
  chosen+=("$pick")
done
echo "Installing: ${chosen[*]}"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${chosen[@]}"
