#!/usr/bin/env bash
# The uninstaller's list of the Windows installer: every file of the folder
# installed (names with spaces, Chinese names, hidden files, nested folders)
# deleted by name, then every folder removed deepest first; nothing for a
# folder without Lumora.exe.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=checks.sh
. "$top/tests/packaging/checks.sh"
list="$top/packaging/windows/uninstall-list.sh"

stage=$work/stage
mkdir -p "$stage/platforms" "$stage/share/lumora/Language/zh_CN" "$stage/empty folder"
touch "$stage/Lumora.exe" "$stage/Qt6 Core.dll" "$stage/.hidden" "$stage/platforms/qwindows.dll" \
    "$stage/share/lumora/Language/zh_CN/Language.xml" "$stage/share/lumora/说明.txt"
expected() {
    cat <<'EOF'
Delete "$INSTDIR\.hidden"
Delete "$INSTDIR\Lumora.exe"
Delete "$INSTDIR\Qt6 Core.dll"
Delete "$INSTDIR\platforms\qwindows.dll"
Delete "$INSTDIR\share\lumora\Language\zh_CN\Language.xml"
Delete "$INSTDIR\share\lumora\说明.txt"
RMDir "$INSTDIR\share\lumora\Language\zh_CN"
RMDir "$INSTDIR\share\lumora\Language"
RMDir "$INSTDIR\share\lumora"
RMDir "$INSTDIR\share"
RMDir "$INSTDIR\platforms"
RMDir "$INSTDIR\empty folder"
EOF
}
check "every file deleted by name, then the folders deepest first" \
    bash -c "sh '$list' '$stage' '$work/list.nsh' && diff <(cd '$work' && $(declare -f expected); expected) '$work/list.nsh'"
rm "$stage/Lumora.exe"
check "a folder without Lumora.exe gives no list" \
    bash -c "! sh '$list' '$stage' '$work/none.nsh' && [ ! -e '$work/none.nsh' ]"
summary check-uninstall-list
