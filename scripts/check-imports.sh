#!/bin/bash
# Fails when a Windows executable imports a DLL that Windows itself does not ship,
# e.g. libstdc++-6.dll or libwinpthread-1.dll from a link that was not static.
set -euo pipefail
system='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|ole32|oleaut32|uxtheme|msimg32|iphlpapi|ws2_32|msvcrt|imm32|version|shlwapi)\.dll$'
status=0
for exe in "$@"; do
  while read -r dll; do
    if ! grep -qiE "$system" <<<"$dll"; then
      echo "$exe imports $dll, which is not a system DLL"
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
exit $status
