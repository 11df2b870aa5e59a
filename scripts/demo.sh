#!/usr/bin/env bash
# Starts Lumora on a fresh demo data folder with a simulated class of 30
# tablets. Without a display it runs a scripted lesson under Xvfb and saves a
# picture of every view instead.
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
data="$top/$build/demo-data"
tour="$top/$build/tour"
program="$top/$build/bin/Lumora"
[ -x "$program" ] || { echo "demo: $program is not built" >&2; exit 1; }

rm -rf "$data"
mkdir -p "$data"
# Keys in the order the program writes them.
cat > "$data/Config.ini" <<'INI'
[Public]
LanguageType=1
MainLine=6
MainRow=5
Split=9
Count=5
LanguageName=zh_CN
INI

names=(王小明 李华 张伟 刘洋 陈静 杨帆 赵磊 黄敏 周杰 吴婷
       徐浩 孙悦 马骏 朱琳 胡斌 郭晓 何佳 高翔 林雪 罗丹
       郑凯 梁爽 谢文 宋雨 唐宁 韩梅 冯涛 邓超 曹颖 彭程)
{
    for i in "${!names[@]}"; do
        n=$((i + 1))
        printf '[%04d]\nCardID=%d\nName=%s\nCardSplitID=%d\nCardSplitName=%s\n\n' \
            "$n" "$n" "${names[$i]}" "$n" "${names[$i]}"
    done
} > "$data/StudentInfo.ini"

export PENLYNX_RECEIVER=${PENLYNX_RECEIVER:-sim:tablets=30,absent=3}
if [ -n "${DISPLAY:-}" ] && [ -z "${LUMORA_DEMO_TOUR:-}" ]; then
    echo "demo: starting Lumora with a simulated class of 30 (data in $data)"
    exec "$program" --data-dir "$data"
fi
rm -rf "$tour"
mkdir -p "$tour"
echo "demo: no display; running the scripted lesson under Xvfb"
xvfb-run -a -s "-screen 0 1920x1080x24" "$program" --data-dir "$data" --tour "$tour"
echo "demo: pictures of every view are in $tour:"
ls -1 "$tour"
