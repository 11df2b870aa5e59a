#!/usr/bin/env bash
# Writes a demo data folder into DIR: Config.ini for a 6 x 5 classroom and
# StudentInfo.ini with 30 students on tablets 1..30 (the simulated class's
# IDs). Existing files are replaced.
# usage: scripts/demo-data.sh DIR
set -euo pipefail
data=${1:?usage: demo-data.sh DIR}
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
