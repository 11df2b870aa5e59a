#!/usr/bin/env bash
# Lumora for Windows as a school gets it, under 64-bit Wine in a fresh prefix
# of its own, with the fonts of a Windows PC (the host's fonts hidden,
# WenQuanYi Zen Hei in the prefix as SimSun and Microsoft YaHei): the
# installer over an older version, silently; the installed program's version,
# tour, exports, rosters in UTF-16 and GB18030 and its saves when the Windows
# session ends; the installer refusing to replace a running program; the
# portable zip in a folder with a Chinese name keeping its data beside it;
# the silent uninstaller keeping the teachers' data.
#
# usage: tests/packaging/check_windows_program.sh BUILD_DIR
#        (after the installer target and cpack in BUILD_DIR)
# The tour's pictures, the exports and the logs stay in BUILD_DIR/program-check/.
# Exit status 77: this machine cannot run 64-bit Windows programs.
set -euo pipefail
export LC_ALL=C.UTF-8
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-build-windows-program}" && pwd)
check_dir=$build/program-check
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

if ! bash "$top/scripts/wine.sh" --runs win64; then
    echo "check-windows-program: skipped: this machine cannot run 64-bit Windows programs under Wine"
    exit 77
fi

# Once, from the outside: a private mount namespace whose /usr/share/fonts is
# empty (the font is taken along first), then a display for the whole check.
if [ "${LUMORA_PROGRAM_CHECK:-}" != inside ]; then
    rm -rf "$check_dir"
    mkdir -p "$check_dir"
    cp "$font" "$check_dir/wqy-zenhei.ttc"
    export LUMORA_PROGRAM_CHECK=inside
    # Root may make one; others in a user namespace of their own.
    namespace=(unshare -m --propagation private)
    "${namespace[@]}" true 2>/dev/null || namespace=(unshare -r -m --propagation private)
    "${namespace[@]}" true 2>/dev/null ||
        { echo "check-windows-program: cannot make a mount namespace to hide the host's fonts" >&2; exit 1; }
    exec "${namespace[@]}" bash -c \
        'mount -t tmpfs -o ro,size=1m lumora-no-fonts /usr/share/fonts || exit 1
         exec xvfb-run -a -s "-screen 0 1366x768x24" bash "$0" "$@"' "$0" "$@"
fi

version=$(sed -n 's/^#define LUMORA_VERSION "\(.*\)"$/\1/p' "$build/generated/LumoraVersion.h")
setup=$build/Lumora-$version-setup-x64.exe
zip=$build/Lumora-$version-windows-x64.zip
for file in "$setup" "$zip"; do
    [ -f "$file" ] || { echo "check-windows-program: $file is missing" >&2; exit 1; }
done
work=$check_dir/work
mkdir -p "$work"
# shellcheck source=checks.sh
. "$top/tests/packaging/checks.sh"

export WINEPREFIX=$check_dir/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No Mono, Gecko or menu entries on the host; the user folders are the check's own.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export HOME=$check_dir/home
mkdir -p "$HOME"
drive_c=$WINEPREFIX/drive_c
program_dir=$drive_c/Program\ Files/Lumora
appdata=$drive_c/users/$(id -un)/AppData/Roaming/Lumora
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Lumora.lnk
desktop=$drive_c/users/Public/Desktop/Lumora.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora'

# The Windows path of a host path (drive Z: is the host's root).
winpath() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}
# wine_run SECONDS PROGRAM ARGS...: one bounded run, and what it started (an
# uninstaller copies itself aside and returns at once): the wineserver ends
# with them, or is ended after SECONDS.
wine_run() {
    local seconds=$1 status=0
    shift
    timeout -k 10 "$seconds" bash "$top/scripts/wine.sh" "$@" || status=$?
    end_wine "$seconds"
    return "$status"
}
end_wine() {
    timeout "${1:-60}" wineserver -w || { wineserver -k; wineserver -w; }
}
# The registry value as `reg query` prints it.
reg_value() {
    timeout 60 bash "$top/scripts/wine.sh" reg query "$uninstall_key" /v "$1" /reg:64 2>/dev/null |
        tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}

# ---- the prefix -----------------------------------------------------------------
make_prefix() {
    timeout 300 bash "$top/scripts/wine.sh" wineboot -i >/dev/null 2>&1 || return 1
    end_wine 120
    [ -f "$WINEPREFIX/system.reg" ]
}
if ! check "a fresh 64-bit Wine prefix" make_prefix; then
    summary check-windows-program
    exit 1
fi

# The program asks for SimSun (Microsoft YaHei after it): both resolve to
# WenQuanYi Zen Hei, as a Chinese Windows has its fonts in windows\Fonts.
provide_fonts() {
    cp "$check_dir/wqy-zenhei.ttc" "$drive_c/windows/Fonts/wqyzenhei.ttc" || return 1
    cat >"$work/fonts.reg" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"WenQuanYi Zen Hei & WenQuanYi Zen Hei Mono (TrueType)"="wqyzenhei.ttc"

; A program that crashes ends, as on a PC without a debugger, instead of
; waiting in Wine's.
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Zen Hei"
"NSimSun"="WenQuanYi Zen Hei Mono"
"Microsoft YaHei"="WenQuanYi Zen Hei"
EOF
    wine_run 60 regedit /S "$(winpath "$work/fonts.reg")"
}
# The probe says whether Windows lists each family and draws Chinese with it.
probe=$work/font_probe.exe
x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Werror -municode -static-libgcc \
    "$top/tests/packaging/font_probe.c" -o "$probe" -lgdi32
hidden_fonts() {
    [ -z "$(ls -A /usr/share/fonts)" ] || { echo "/usr/share/fonts is not empty"; return 1; }
    wine_run 60 "$probe" SimSun >"$work/probe" 2>&1
    cat "$work/probe"
    tr -d '\r' <"$work/probe" | grep -q '^SimSun: not listed, face [^,]*, 0 of 3 Chinese glyphs: FAILED$'
}
check "the host's fonts are hidden from Wine (no Chinese font yet)" hidden_fonts
check "WenQuanYi Zen Hei is in the prefix's Fonts as SimSun and Microsoft YaHei" provide_fonts
check "SimSun and Microsoft YaHei are listed and draw Chinese" wine_run 60 "$probe" SimSun "Microsoft YaHei"

# ---- installing over an older version ---------------------------------------------
# The older version: the same folder with a file of its own, as 0.9.0.
older_installer() {
    local stage=$work/older-stage
    rm -rf "$stage"
    mkdir -p "$stage"
    unzip -q "$zip" -d "$work/older-zip" || return 1
    cp -r "$work/older-zip/Lumora-$version-windows-x64/." "$stage" || return 1
    rm -rf "$stage/Language"
    echo "only in 0.9.0" >"$stage/older-only.txt"
    makensis -V2 -DVERSION=0.9.0 -DSTAGE="$stage" -DOUTFILE="$work/Lumora-0.9.0-setup-x64.exe" \
        "$top/packaging/windows/Lumora.nsi" || return 1
    wine_run 300 "$work/Lumora-0.9.0-setup-x64.exe" /S || return 1
    [ -f "$program_dir/older-only.txt" ] && [ "$(reg_value DisplayVersion)" = 0.9.0 ]
}
check "an older version (0.9.0) is installed" older_installer
check "the installer installs silently (/S) over it" wine_run 300 "$setup" /S

installed_files() {
    local expected actual
    # The zip's folder less the portable marker Language\, and the uninstaller.
    expected=$( (unzip -Z1 "$zip" | sed -n "s|^Lumora-$version-windows-x64/||p" |
        grep -v -e '/$' -e '^Language/' -e '^$'; echo Uninstall.exe) | sort)
    actual=$(cd "$program_dir" && find . -type f | sed 's|^\./||' | sort)
    diff <(echo "$expected") <(echo "$actual")
}
check "the program folder holds the zip's files, the uninstaller, nothing of 0.9.0" installed_files
check "the installed languages are under share\\lumora\\Language, none beside Lumora.exe" \
    bash -c "[ -f '$program_dir/share/lumora/Language/zh_CN/Language.xml' ] &&
             [ -f '$program_dir/share/lumora/Language/en_US/Language.xml' ] &&
             [ ! -e '$program_dir/Language' ]"

registry() {
    local name expected actual size
    while IFS='|' read -r name expected; do
        actual=$(reg_value "$name")
        [ "$actual" = "$expected" ] || { echo "$name: '$actual', expected '$expected'"; return 1; }
    done <<EOF
DisplayName|Lumora
DisplayVersion|$version
Publisher|Lumora developers
DisplayIcon|C:\\Program Files\\Lumora\\Lumora.exe,0
InstallLocation|C:\\Program Files\\Lumora
UninstallString|"C:\\Program Files\\Lumora\\Uninstall.exe"
QuietUninstallString|"C:\\Program Files\\Lumora\\Uninstall.exe" /S
NoModify|0x1
NoRepair|0x1
EOF
    # In KB: within a tenth of what the folder holds.
    size=$(($(reg_value EstimatedSize)))
    local folder
    folder=$(du -sk --apparent-size "$program_dir" | cut -f1)
    [ $((size * 10)) -ge $((folder * 9)) ] && [ $((size * 10)) -le $((folder * 11)) ] ||
        { echo "EstimatedSize $size KB for a folder of $folder KB"; return 1; }
}
check "Apps & features lists Lumora $version (the 64-bit uninstall key, one for both versions)" registry

# A shortcut names its target in UTF-16 or in the ANSI code page.
shortcut() {
    [ -f "$1" ] || { echo "no $1"; return 1; }
    grep -aq 'Lumora.exe' "$1" || iconv -f UTF-16LE -t UTF-8 "$1" 2>/dev/null | grep -aq 'Lumora\.exe'
}
check "the Start menu entry opens Lumora.exe" shortcut "$start_menu"
check "the desktop shortcut opens Lumora.exe" shortcut "$desktop"

exe="$program_dir/Lumora.exe"
# version_of EXE: it prints Lumora and the version.
version_of() {
    wine_run 60 "$1" --version >"$work/version" 2>&1 || { cat "$work/version"; return 1; }
    tr -d '\r' <"$work/version" | grep -qx "Lumora $version" || { cat "$work/version"; return 1; }
}
check "the installed Lumora.exe --version prints Lumora $version" version_of "$exe"

# ---- a session on the simulated class ---------------------------------------------
# The program's main window is up: a viewable X window of at least 800x500.
window_up() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
        xwininfo -id "$id" 2>/dev/null | tr -d ' ' | awk -F: '
            /^Width/ {w = $2} /^Height/ {h = $2} /^MapState/ {m = $2}
            END {exit !(m == "IsViewable" && w >= 800 && h >= 500)}' && return 0
    done
    return 1
}
# session LOG DURING PROGRAM ARGS...: starts the program on five simulated
# tablets, waits for its window, runs the command DURING (may be empty), then
# ends the Windows session as a shutdown does and waits for the program to go.
session() {
    local log=$1 during=$2 pid
    shift 2
    LC_ALL=${wine_locale:-$LC_ALL} PENLYNX_RECEIVER=sim:tablets=5 LUMORA_ANSWER_PROMPTS=ok \
        WINEQT_FORCE_STDERR_LOGGING=1 timeout -k 10 180 bash "$top/scripts/wine.sh" "$@" >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 120); do
        window_up && break
        kill -0 "$pid" 2>/dev/null || { cat "$log"; echo "ended before its window was up"; return 1; }
        sleep 1
    done
    window_up || { cat "$log"; echo "no window after 120 s"; kill "$pid"; end_wine 1; return 1; }
    sleep 3 # the receiver found, the tablets heard
    if [ -n "$during" ]; then
        $during || { kill "$pid"; end_wine 1; return 1; }
    fi
    timeout 60 bash "$top/scripts/wine.sh" wineboot --end-session >>"$log" 2>&1 || true
    for _ in $(seq 60); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 1
    done
    if kill -0 "$pid" 2>/dev/null; then
        cat "$log"
        echo "still running 60 s after the session ended"
        kill "$pid"
        end_wine 1
        return 1
    fi
    wait "$pid" || true
    end_wine
}
# The files of the data folder DIR the exit saves write: every key of
# Config.ini and the roster's names twice (CardSplitName is written only then).
saved() {
    local dir=$1 name=$2 key
    for key in LanguageName= MainLine= MainRow= Split= Count=; do
        grep -q "^$key" "$dir/Config.ini" || { echo "no $key in $dir/Config.ini"; return 1; }
    done
    grep -qx "CardSplitName=$name" <(tr -d '\r' <"$dir/StudentInfo.ini") ||
        { cat "$dir/StudentInfo.ini"; echo "no CardSplitName=$name"; return 1; }
}

# While it runs, the installer neither replaces it nor reports success.
installer_refuses() {
    local before status=0
    before=$(sha256sum "$exe")
    timeout -k 10 120 bash "$top/scripts/wine.sh" "$setup" /S || status=$?
    [ "$status" -eq 2 ] || { echo "the installer exited with $status, not 2"; return 1; }
    [ "$(sha256sum "$exe")" = "$before" ]
}
first_start() {
    session "$check_dir/session.log" installer_refuses "$exe" || return 1
    [ -f "$appdata/Config.ini" ] || { find "$drive_c/users" -name Config.ini; echo "no Config.ini in $appdata"; return 1; }
    grep -q "^MainLine=" "$appdata/Config.ini" && grep -q "^\[0001\]" "$appdata/StudentInfo.ini" ||
        return 1
    # Left behind, the lock may refuse the next start (Wine gives the next
    # program the same process id).
    [ ! -e "$appdata/Lumora.lock" ] || { echo "Lumora.lock stays in $appdata"; return 1; }
}
check "the installed Lumora starts in %APPDATA%\\Lumora, refuses the installer while it runs (exit 2), and saves, unlocks and ends when the Windows session ends" first_start

# ---- the tour ---------------------------------------------------------------------
# A data folder of its own: the checks above own %APPDATA%\Lumora.
tour_data=$check_dir/tour-data
tour_names=(1-seat-grid 2a-answering 2-answer-grid 3-result-chart 4-live-handwriting
    4b-live-next-page 4c-live-zoomed 5-settings 6-history-choice 6b-history-handwriting
    6c-history-picture 6d-history-graded 6e-history-attendance 7-question-set-editor
    8-set-hidden-answers 9-set-revealed 9b-random-pick 10-set-countdown 11-set-handwriting
    13-classes 13b-second-class 14-history-classes 15-term 11b-register-tablet 12-help)
tour() {
    local pictures=$check_dir/tour name count=0 colours
    rm -rf "$pictures"
    WINEQT_FORCE_STDERR_LOGGING=1 wine_run 900 "$exe" --data-dir "$(winpath "$tour_data")" \
        --tour "$(winpath "$pictures")" >"$check_dir/tour.log" 2>&1 ||
        { tail -n 30 "$check_dir/tour.log"; echo "the tour ended with an error"; return 1; }
    for name in "${tour_names[@]}"; do
        [ -f "$pictures/$name.png" ] || { echo "no $name.png"; return 1; }
        [ "$(stat -c %s "$pictures/$name.png")" -gt 8000 ] || { echo "$name.png is nearly empty"; return 1; }
        colours=$(identify -format '%k' "$pictures/$name.png") || return 1
        [ "$colours" -gt 20 ] || { echo "$name.png has $colours colours"; return 1; }
        count=$((count + 1))
    done
    # Announced: those, and the seat grid's second page when the class needs one.
    [ "$(tr -d '\r' <"$check_dir/tour.log" | grep -c '^tour: .*\.png$')" -eq \
        $((count + $([ -f "$pictures/1b-seat-grid-page-2.png" ] && echo 1 || echo 0))) ]
}
check "the tour saves a picture of every view (${#tour_names[@]}), none blank" tour

export_csv() {
    local out=$check_dir/exports
    mkdir -p "$out"
    wine_run 120 "$exe" --data-dir "$(winpath "$tour_data")" --export last --format csv --output "$(winpath "$out/last.csv")" --force || return 1
    # UTF-8 with a byte order mark; the header, then rows of seats with names.
    head -c 3 "$out/last.csv" | cmp -s - <(printf '\xef\xbb\xbf') || { echo "no byte order mark"; return 1; }
    sed -n '1s/^\xef\xbb\xbf//p' "$out/last.csv" | tr -d '\r' | grep -q '^Seat,Name,Q1' || return 1
    [ "$(grep -cP '^[0-9]+,\p{Han}' "$out/last.csv")" -ge 5 ] || { cat "$out/last.csv"; return 1; }
    [ -f "$out/last-presses.csv" ]
}
check "--export last --format csv writes the gradebook and the presses" export_csv
export_xlsx() {
    local out=$check_dir/exports
    wine_run 120 "$exe" --data-dir "$(winpath "$tour_data")" --export last --format xlsx --output "$(winpath "$out/last.xlsx")" --force || return 1
    # The same students, in the same order, as the CSV.
    diff <(xlsx2csv -n Gradebook "$out/last.xlsx" | grep -P '^[0-9]+,\p{Han}' | cut -d, -f1,2) \
        <(tr -d '\r' <"$out/last.csv" | grep -P '^[0-9]+,\p{Han}' | cut -d, -f1,2)
}
check "--export last --format xlsx writes a workbook with the same students" export_xlsx

# ---- rosters of older installations -----------------------------------------------
# encoding NAME: a data folder whose roster is in that encoding; the exit
# saves rewrite it in UTF-8 with the names read.
roster_in() {
    local encoding=$1 bom=$2 data=$check_dir/roster-$1
    rm -rf "$data"
    mkdir -p "$data"
    printf '[Public]\r\nMainLine=4\r\nMainRow=2\r\nLanguageName=zh_CN\r\n' >"$data/Config.ini"
    { printf '%b' "$bom"; printf '[0001]\r\nCardID=1\r\nName=王小明\r\n[0002]\r\nCardID=2\r\nName=欧阳娜娜\r\n' |
        iconv -f UTF-8 -t "$encoding"; } >"$data/StudentInfo.ini" || return 1
    session "$data.log" "" "$exe" --data-dir "$(winpath "$data")" || return 1
    saved "$data" 王小明 && saved "$data" 欧阳娜娜
}
check "a roster in UTF-16 with a byte order mark is read (its names saved back)" roster_in UTF-16LE '\xff\xfe'
# On a Chinese Windows, whose code page is 936: Wine 8 lacks code page 54936
# (GB18030), which the program asks for first.
wine_locale=zh_CN.UTF-8
check "a roster in GB18030 is read on a Chinese Windows (its names saved back)" roster_in GB18030 ''
wine_locale=

# ---- the portable zip -------------------------------------------------------------
portable=$drive_c/users/Public/课堂互动
portable_version() {
    rm -rf "$portable"
    mkdir -p "$portable"
    unzip -q "$zip" -d "$portable" || return 1
    version_of "$portable/Lumora-$version-windows-x64/Lumora.exe"
}
check "the portable zip, unpacked in a folder with a Chinese name, runs --version" portable_version
portable_data() {
    local folder=$portable/Lumora-$version-windows-x64 before
    before=$(find "$appdata" -printf '%P %s %T@\n' | sort)
    session "$check_dir/portable.log" "" "$folder/Lumora.exe" || return 1
    [ -f "$folder/Config.ini" ] && [ -f "$folder/StudentInfo.ini" ] ||
        { echo "no Config.ini and StudentInfo.ini beside Lumora.exe"; return 1; }
    [ "$(find "$appdata" -printf '%P %s %T@\n' | sort)" = "$before" ] ||
        { echo "%APPDATA%\\Lumora changed"; return 1; }
}
check "the portable program keeps its data in its own folder, not in %APPDATA%" portable_data

# ---- uninstalling -----------------------------------------------------------------
uninstall() {
    local kept
    kept=$(cd "$appdata" && find . -type f | sort)
    [ -n "$kept" ] || { echo "nothing in $appdata to keep"; return 1; }
    wine_run 300 "$program_dir/Uninstall.exe" /S || return 1
    [ ! -e "$program_dir" ] || { find "$program_dir"; echo "the program folder stays"; return 1; }
    [ ! -e "$start_menu" ] && [ ! -e "$desktop" ] || { echo "a shortcut stays"; return 1; }
    timeout 60 bash "$top/scripts/wine.sh" reg query "$uninstall_key" /reg:64 >/dev/null 2>&1 &&
        { echo "the uninstall key stays"; return 1; }
    end_wine
    [ "$(cd "$appdata" && find . -type f | sort)" = "$kept" ] || { echo "%APPDATA%\\Lumora changed"; return 1; }
}
check "the uninstaller (/S) removes the folder, shortcuts and key, and keeps %APPDATA%\\Lumora" uninstall

summary check-windows-program
