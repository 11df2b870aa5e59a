#include "core/MessageTexts.h"

namespace lumora {

const std::array<const char *, kLanguageKeyCount> LanguageKeys = {
    "AppTitle",
    "View",
    "MainInterface",
    "LiveView",
    "Statisticalresults",
    "Examiners",
    "TopicsType",
    "SingleChoice",
    "multipleChoice",
    "EssayQuestion",
    "AnswerState",
    "NotStarted",
    "UnderWay",
    "AlreadyOver",
    "QuestionsEdit",
    "Settings",
    "LayoutSettings",
    "Quit",
    "StudentList",
    "ViewSet",
    "MainInterfaceSet",
    "LanSet",
    "OtherSet",
    "SplitSet",
    "LineNum",
    "RowNum",
    "SelLanguage",
    "LoadStdInfo",
    "AnswerSet",
    "Tip1",
    "Tip2",
    "Tip3",
    "Tip4",
    "Tip5",
    "Tip6",
    "Tip7",
    "Tip8",
    "Tip9",
    "Tip10",
    "Tip11",
    "Tip12",
    "Tip13",
    "Warning1",
    "Warning2",
    "Warning3",
    "Warning4",
    "Warning5",
    "Error1",
    "Error2",
    "Error3",
    "Error4",
    "Error5",
};

namespace {

struct MessageEntry {
    const char *key;
    const char *builtIn; // UTF-8
};

const std::array<MessageEntry, kMessageTextCount> kMessages = {{
    {"Tip1", "未选择"},
    {"Tip2", "座位关联"},
    {"Tip3", "系统初始化"},
    {"Tip4", "选择人数"},
    {"Tip5", "确定"},
    {"Tip6", "取消"},
    {"Tip7", "学生姓名"},
    {"Tip8", "手写板ID"},
    {"Tip9", "保存"},
    {"Tip10", "学生关联"},
    {"Tip11", "删除关联"},
    {"Tip12", "选择题答案:"},
    {"Tip13", "确定删除关联吗?"},
    {"Warning1", "确定从文件中导入信息并覆盖吗?"},
    {"Warning2", "确定退出系统吗?"},
    {"Warning3", ""},
    {"Warning4", ""},
    {"Warning5", ""},
    {"Error1", "ID格式错误, 请修正后重新导入!"},
    {"Error2", "检测不到USB硬件, 系统即将退出!"},
    {"Error3", "姓名或ID不能为空"},
    {"Error4", "ID格式不正确"},
    {"Error5", "答案不能为空"},
    {"FileSaveFailed", "无法保存 %1\n%2。磁盘上的文件保持不变。"},
    {"FileKeptAside", "%1\n无法完整读取：%2。\n原文件已另存为 %3，程序使用能读取的内容继续运行。"},
    {"FileNotKeptAside", "%1\n无法完整读取：%2。\n该文件也无法另存（%3），本次运行不会覆盖它。"},
    {"FileIsFolder", "这是一个文件夹"},
    {"FileZeroByte", "第 %1 行含有零字节"},
    {"FileNotText", "第 %1 行含有无法识别的字符"},
    {"ImportLinesIgnored", "导入文件中最后一个座位之后的 %1 行没有导入。"},
    {"ImportNotText", "导入文件第 %1 行含有无法识别的字符，这些姓名中显示为 �。"},
    {"RecordTitle", "课堂记录"},
    {"RecordError1", "课堂记录文件无法使用，已改名保存为下面的文件，并开始新的记录:"},
    {"RecordError2", "课堂记录无法写入这个文件夹，本节课不作记录:"},
    {"RecordError3", "课堂记录无法保存（磁盘可能已满），记录已停止；之前保存的内容仍然保留。"},
    {"AnsweredCount", "已答 %1 / %2"},
    {"WrittenCount", "已写 %1 / %2"},
    {"PageNumber", "第 %1 / %2 页"},
    {"PreviousPage", "上一页"},
    {"NextPage", "下一页"},
    {"LessonHistory", "课堂历史"},
    {"HistoryLessons", "课堂"},
    {"HistoryQuestions", "题目"},
    {"HistoryNumber", "序号"},
    {"HistoryDate", "日期"},
    {"HistoryTime", "时间"},
    {"HistoryQuestionCount", "题数"},
    {"HistoryType", "题型"},
    {"HistoryKey", "正确答案"},
    {"HistoryName", "姓名"},
    {"HistorySeat", "座位"},
    {"HistoryAnswer", "答案"},
    {"HistoryCorrect", "正误"},
    {"HistoryRight", "对"},
    {"HistoryWrong", "错"},
    {"HistoryFirstPress", "首次按键(秒)"},
    {"HistoryQuestionTitle", "第 %1 节课　第 %2 题　%3"},
    {"HistoryPictures", "笔迹"},
    {"HistoryNoPictures", "这道题没有保存笔迹。"},
    {"HistoryEmpty", "还没有课堂记录。提问并结束答题后，课堂会保存在这里。"},
    {"HistoryCloseHint", "按 Esc 或单击关闭"},
    {"ExportCsv", "导出 CSV"},
    {"ExportXlsx", "导出 Excel"},
    {"ExportBusy", "正在导出第 %1 节课…"},
    {"ExportDone", "第 %1 节课已导出到:\n%2"},
    {"ExportFailed", "导出失败:\n%1"},
    {"ExportFileName", "%1 第%2节课"},
    {"ImportFiles", "学生名单"},
    {"ImportFormat", "每行一名学生：姓名#手写板ID\n例如：王小明#12"},
    {"DisplaySet", "显示设置"},
    {"DisplayScale", "显示比例"},
    {"DisplayScaleNote", "下次启动时生效"},
    {"DisplayScreen", "窗口所在屏幕"},
    {"ScreenNumber", "第 %1 个，共 %2 个"},
    {"NextScreen", "移到下一个屏幕"},
    {"Classes", "班级"},
    {"ClassUnnamed", "（未命名班级）"},
    {"ClassName", "班级名称"},
    {"ClassSubject", "科目"},
    {"ClassStudents", "学生数"},
    {"ClassCurrent", "当前班级"},
    {"ClassSwitch", "切换到此班级"},
    {"ClassNew", "从文件新建班级…"},
    {"ClassRename", "重命名…"},
    {"ClassDelete", "删除…"},
    {"ClassHint", "每个班级有自己的名单和座位。切换班级时，当前名单保存到它的班级，另一个班级的名单"
                  "载入座位表。"},
    {"ClassNewTitle", "新建班级"},
    {"ClassRenameTitle", "重命名班级"},
    {"ClassDeleteConfirm", "确定删除班级 %1 吗?\n名单文件将另存备份，不会被清除。"},
    {"ClassDeleted", "班级 %1 已删除，名单文件另存为:\n%2"},
    {"ClassNameEmpty", "班级名称不能为空"},
    {"ClassNameTaken", "已经有名为 %1 的班级"},
    {"ClassNotFound", "没有名为 %1 的班级"},
    {"ClassFileError", "班级名单无法读取或保存:\n%1\n各班级的名单都保持不变。"},
    {"ClassNotKeptAside", "班级名单无法另存:\n%1"},
    {"ItemHard", "难：答对的不到三成"},
    {"ItemEasy", "容易：九成以上答对"},
    {"ItemNoDiscrimination", "区分不出学生的强弱"},
    {"ItemNegativeDiscrimination", "成绩好的学生反而答错更多：请检查答案"},
    {"ItemDistractorUnused", "选项 %1 无人选择"},
    {"ItemDistractorDrawsUpper", "选项 %1 更多吸引成绩好的学生"},
    {"AlreadyRunning", "程序已在此数据文件夹中运行:\n%1\n请使用已打开的窗口。"},
    {"ImportBadLine", "第 %1 行不是学生：\n%2\n没有导入任何内容，名单保持不变。\n%3"},
    {"FileNotOrdinary", "它不是普通文件（而是设备、管道或套接字），不会读取"},
    {"FileTooLarge", "文件超过 %1 MB，不会读取"},
    {"RecordDamaged",
     "课堂记录文件已损坏，记录已停止；之前保存的内容仍然保留。下次启动时将检查该文件并另存。"},
    {"PlanRow", "第 %1 行：%2"},
    {"PlanNoColumn", "标题行缺少 %1 列"},
    {"PlanUnknownColumn", "标题行的列 %1 无法识别"},
    {"PlanBadType", "题型 %1 无法识别（应为 single、multiple 或 handwritten）"},
    {"PlanKeyMissing", "选择题缺少答案"},
    {"PlanBadKey", "答案 %1 只能由字母 A 到 H 组成"},
    {"PlanKeyTooLong", "单选题的答案 %1 多于一个字母"},
    {"PlanKeyOnHandwritten", "主观题不能有答案（%1）"},
    {"PlanBadSeconds", "时间 %1 应为 1 到 3600 之间的整数秒"},
    {"PlanBadPoints", "分值 %1 应为 0 到 1000 之间的数"},
    {"PlanBadPicture", "找不到图片 %1（应在题目集文件所在的文件夹内）"},
    {"PlanTooManyCells", "单元格比标题行的列多"},
    {"PlanOpenQuote", "引号没有结束"},
    {"PlanNotText", "含有不是文字的字节"},
    {"PlanNoQuestions", "文件中没有题目"},
    {"PlanCounter", "%1 / %2"},
    {"PlanFileMissing", "找不到文件 %1"},
    {"PlanPrevious", "上一题"},
    {"PlanRepeat", "重做本题"},
    {"PlanNext", "下一题"},
    {"PlanAdd30", "+30 秒"},
    {"PlanAdd60", "+1 分钟"},
    {"PlanPause", "暂停"},
    {"PlanResume", "继续"},
    {"PlanSets", "题目集"},
    {"PlanEndOfSet", "这是题目集的最后一题"},
    {"PlanTypeSingle", "单选"},
    {"PlanTypeMultiple", "多选"},
    {"PlanTypeHandwritten", "主观"},
    {"PlanQuestions", "题目"},
    {"PlanRun", "运行此题目集"},
    {"PlanNew", "新建题目集"},
    {"PlanImport", "导入…"},
    {"PlanExport", "导出…"},
    {"PlanAdd", "添加题目"},
    {"PlanDelete", "删除题目"},
    {"PlanUp", "上移"},
    {"PlanDown", "下移"},
    {"PlanSave", "保存"},
    {"PlanColumnType", "题型"},
    {"PlanColumnKey", "答案"},
    {"PlanColumnText", "题目"},
    {"PlanColumnPicture", "图片"},
    {"PlanColumnSeconds", "秒数"},
    {"PlanColumnPoints", "分值"},
    {"PlanNoPicture", "（无图片）"},
    {"PlanNewName", "新题目集 %1"},
    {"PlanFileFilter", "题目集 (*.csv *.txt)"},
    {"PlanQuestionRow", "第 %1 题：%2"},
    {"PlanNotTaken", "题目集 %1 没有采用：\n%2"},
    {"PlanHint", "题目集是一个 CSV 文件，可以用电子表格编写：第一行是列名 "
                 "type、key、text、picture、seconds、points（或 "
                 "题型、答案、题目、图片、秒数、分值）。图片放在文件旁边。运行时按 N "
                 "或空格进入下一题，B 上一题，R 重做本题；+ 加 30 秒，M 加 1 分钟，P 暂停。"},
    {"HelpPage",
     "# 帮助\n\n## 按键\n\n| 按键 | 作用 |\n|---|---|\n| Ctrl+1 / Ctrl+2 / Ctrl+3 | 显示窗口 / "
     "实时浏览 / 结果统计 |\n| F5 / F6 / F7 | 单选题 / 多选题 / 主观题 |\n| F8 / F9 / F10 | 未开始 "
     "/ 进行中 / 结束答题 |\n| N 或 空格 | 题目集的下一题 |\n| B / R | 题目集的上一题 / 重做本题 "
     "|\n| + / M / P | 倒计时加 30 秒 / 加 1 分钟 / 暂停或继续 |\n| H / V / A | 隐藏答案 / "
     "公布答案 / 匿名 |\n| T | 显示或隐藏题目 |\n| PgUp / PgDn、方向键 | 翻页 |\n| Enter / Esc | "
     "单独显示所选分屏 / 返回 |\n| Ctrl+4 | 历史记录 |\n| 1 / 0 / 2–9 / Delete | "
     "历史记录中放大的手写答案：对 / 错 / 给分 / 取消评分 |\n| Ctrl+, | 界面设置 |\n| Ctrl+Shift+→ "
     "| "
     "窗口移到下一个屏幕 |\n| F1 | 本帮助 |\n| Ctrl+Q | 退出系统 |\n\n## 第一节课\n\n1. "
     "**导入班级。** "
     "在“界面设置”中“从文件导入学生信息”：每行一个学生（姓名和答题器编号）。也可以在“班级”中从文件"
     "新建班级。要给一个座位换手写板，右击座位，选“座位关联”，再按该学生手写板上的任意键。\n2. "
     "**准备题目集。** 在电子表格中写一个 CSV "
     "文件，第一行是列名：type（single、multiple 或 handwritten）、key（答案，字母 A 到 "
     "H）、text（题目）、picture（图片文件，放在 CSV "
     "旁边）、seconds（限时秒数）、points（分值）。在“题目集”中“导入…”；有错误的行会逐行说明，文件"
     "不会被部分导入。导入后可以在表格中修改、排序、添加和删除题目，然后“保存”。\n3. **上课。** "
     "选择题目集，按“运行此题目集”：第一题立即开始，题型和答案自动设置。按 N "
     "或空格进入下一题；有限时的题目显示倒计时，时间到自动结束答题。上方的横条显示题目和图片（按 T "
     "隐藏或显示），它的按钮可以加时间、暂停、回到上一题、重做本题、隐藏和公布答案、匿名显示（H、V"
     "、A）。\n4. **课后回顾。** "
     "“历史记录”列出每节课的每道题、每个学生的答案和手写图片，可以导出为 CSV 或 XLSX。\n"},
    {"PlanHideAnswers", "隐藏答案"},
    {"PlanReveal", "公布答案"},
    {"PlanAnonymous", "匿名"},
    {"PlanPick", "随机点名"},
    {"PlanPickAnswered", "点答题者"},
    {"PlanPickWrong", "点答错者"},
    {"PlanPicked", "点名：%1"},
    {"PlanNobody", "没有可以点名的学生"},
    {"RegisterListen", "或按学生手写板上的任意键"},
    {"RegisterHeard", "已听到手写板 %1"},
    {"RegisterTaken", "手写板 %1 已属于 %2，再按一次仍然使用"},
    {"PlanSound", "到时响铃"},
    {"HistoryShareRight", "答对率"},
    {"HistoryHints", "提示"},
    {"HistoryLessonScores", "%5 名学生平均 %1 / %2 分，标准差 %3，信度 %4"},
    {"HistoryItemDetail", "区分度 %1，高低分组指数 %2\n选项：%3\n首次按键中位数 %4 秒"},
    {"HistoryGradeHint", "1 对 · 0 错 · 2–9 给分 · Delete 取消评分 · Esc 关闭"},
    {"HistoryGraded", "%1 / %2 分"},
    {"HistoryAttendance", "出勤"},
    {"HistoryAttendanceTitle", "第 %1 节课出勤：%2 人答题，%3 人在场未答，%4 人缺席"},
    {"HistoryPresence", "出勤"},
    {"HistoryFirstHeard", "首次听到"},
    {"HistoryLastHeard", "最后听到"},
    {"HistoryPresent", "答题"},
    {"HistorySilent", "在场未答"},
    {"HistoryAbsent", "缺席"},
    {"HistoryAllClasses", "全部班级"},
    {"HistoryUnnamedClass", "未命名班级"},
    {"HistoryBinEntry", "回收站（%1）"},
    {"HistoryTitle", "标题"},
    {"HistoryEditTitle", "改标题"},
    {"HistoryToBin", "移到回收站"},
    {"HistoryRestore", "恢复"},
    {"HistoryEmptyBin", "清空回收站"},
    {"HistoryEmptyBinAsk", "永久删除回收站中的 %1 节课及其笔迹图片？此操作不能撤销。"},
    {"HistoryNoLessonsHere", "这里没有课。"},
    {"HistoryClass", "班级"},
    {"HistoryTerm", "学期成绩"},
    {"TermTitle", "%1：%2 节课，%3 名学生"},
    {"TermFrom", "从"},
    {"TermTo", "到"},
    {"TermLoading", "正在读取学期记录…"},
    {"TermNoLessons", "这段时间里这个班级没有课。"},
    {"TermFileName", "%1 %2 学期成绩"},
    {"TermExportDone", "学期成绩已导出：\n%1"},
    {"TermTotal", "总分"},
    {"TermPossible", "满分"},
    {"TermPercent", "得分率"},
    {"TermAttended", "出勤"},
    {"TermHeld", "课数"},
    {"TermTablet", "答题器编号"},
    {"TermLesson", "第%1节课"},
}};

} // namespace

const char *MessageKeyName(MessageKey key) {
    return kMessages[static_cast<size_t>(key)].key;
}

QString BuiltInMessageText(MessageKey key) {
    return QString::fromUtf8(kMessages[static_cast<size_t>(key)].builtIn);
}

QString FormatMessage(const QString &text, std::initializer_list<QString> args) {
    const qsizetype count = static_cast<qsizetype>(args.size());
    std::array<bool, 9> placed{};
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const qsizetype n = text[i + 1].unicode() - u'1';
            if (n < count) {
                out += *(args.begin() + n);
                placed[static_cast<size_t>(n)] = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    for (qsizetype n = 0; n < std::min<qsizetype>(count, 9); ++n) {
        if (!placed[static_cast<size_t>(n)]) {
            out += u'\n' + *(args.begin() + n);
        }
    }
    return out;
}

MessageTextTable::MessageTextTable() {
    ResetToDefaults();
}

void MessageTextTable::ResetToDefaults() {
    for (int i = 0; i < kMessageTextCount; ++i) {
        texts_[static_cast<size_t>(i)] = BuiltInMessageText(static_cast<MessageKey>(i));
    }
}

MessageTextTable MessageTexts;

} // namespace lumora
