#!/usr/bin/env bash
# Checks a built densilo.exe: it imports only DLLs that every Windows has (the C++ runtime and
# threads are linked in), and it stays small.
set -euo pipefail
exe=$1
max_bytes=$((1536 * 1024))

dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "imports: $(echo $dlls)"
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|WINMM|SHELL32|ADVAPI32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
status=0
while read -r dll; do
  if ! [[ $dll =~ $allowed ]]; then
    echo "not a system DLL: $dll"
    status=1
  fi
done <<<"$dlls"

size=$(stat -c %s "$exe")
echo "size: $size bytes"
if [ "$size" -ge "$max_bytes" ]; then
  echo "larger than $max_bytes bytes"
  status=1
fi
exit $status
