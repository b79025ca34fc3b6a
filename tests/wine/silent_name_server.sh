#!/usr/bin/env bash
# Runs a program of the Windows build under Wine (tests/wine/wine-run.sh)
# where the only name server is 127.0.0.77, waited for 30 s a query: a
# private mount namespace with a resolv.conf of its own (Wine resolves names
# with the system's resolver), so that nothing changes for the rest of the
# system. The program plays the name server itself.
#
#   silent_name_server.sh PROGRAM.exe [ARGUMENTS...]
#
# Ends with 77 (skipped) where no private mount namespace can be made.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [[ ${1:-} != --inside ]]; then
    if ! unshare -m true 2> /dev/null; then
        echo "SKIP: a private mount namespace (unshare -m) needs root or CAP_SYS_ADMIN" >&2
        exit 77
    fi
    exec unshare -m bash "$here/silent_name_server.sh" --inside "$@"
fi
shift

conf=$(mktemp)
printf 'nameserver 127.0.0.77\noptions timeout:30 attempts:1\n' > "$conf"
mount --bind "$conf" /etc/resolv.conf
rm -f "$conf"
exec bash "$here/wine-run.sh" "$@"
