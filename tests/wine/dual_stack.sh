#!/usr/bin/env bash
# Runs a program of the Windows build under Wine (tests/wine/wine-run.sh)
# where "localhost" has an IPv6 and an IPv4 address, as Debian's standard
# /etc/hosts gives it, whatever this machine's hosts file says: in a private
# mount namespace with a hosts file of its own, so that nothing changes for
# the rest of the system.
#
#   dual_stack.sh PROGRAM.exe [ARGUMENTS...]
#
# Ends with 77 (skipped) where no private mount namespace can be made.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [[ ${1:-} != --inside ]]; then
    if ! unshare -m true 2> /dev/null; then
        echo "SKIP: a private mount namespace (unshare -m) needs root or CAP_SYS_ADMIN" >&2
        exit 77
    fi
    exec unshare -m bash "$here/dual_stack.sh" --inside "$@"
fi
shift

hosts=$(mktemp)
printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' > "$hosts"
mount --bind "$hosts" /etc/hosts
rm -f "$hosts"
addresses=$(getent ahosts localhost | awk '{ print $1 }' | sort -u | tr '\n' ' ')
if [[ $addresses != *"::1 "* || $addresses != *"127.0.0.1 "* ]]; then
    echo "localhost has not both families here: $addresses" >&2
    exit 1
fi
# The programs that look for both families expect them.
export NOTIFICADOR_BOTH_FAMILIES=1
exec bash "$here/wine-run.sh" "$@"
