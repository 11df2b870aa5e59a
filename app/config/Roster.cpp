#include "config/Roster.h"

#include "config/IniFile.h"

#include <QDir>

#include <algorithm>

namespace lumora {

namespace {

const QString kName = QStringLiteral("Name");
const QString kCardID = QStringLiteral("CardID");
const QString kCardSplitName = QStringLiteral("CardSplitName");
const QString kCardSplitID = QStringLiteral("CardSplitID");

uint16_t Low16(int32_t value) {
    return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
}

void WriteEntry(IniFile &ini, const SlotTable &table, int index) {
    const StudentSlot &slot = table[index];
    const QString section = RosterSectionName(index);
    ini.WriteInt(section, kCardID, slot.CardID.load());
    ini.WriteString(section, kName, slot.Name.ToString());
    ini.WriteInt(section, kCardSplitID, slot.CardSplitID.load());
    ini.WriteString(section, kCardSplitName, slot.CardSplitName.ToString());
}

// "0001" .. "9999": a section the roster writes.
bool IsEntrySection(const QString &name) {
    return name.size() == 4 && name != u"0000" &&
           std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QString RosterFilePath(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("StudentInfo.ini"));
}

QString RosterSectionName(int index) {
    return QStringLiteral("%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

int LoadRoster(const QString &dataDir, SlotTable &table, FileProblem *problem) {
    table.Clear();
    IniFile ini;
    const ReadStatus status = ini.Load(RosterFilePath(dataDir), problem);
    if (status == ReadStatus::Missing || status == ReadStatus::Failed) {
        return 0;
    }
    return ReadRosterEntries(ini, table);
}

int ReadRosterEntries(const IniFile &ini, SlotTable &table) {
    table.Clear();
    const int sections = CountRosterEntries(ini).Seats;
    for (int i = 1; i <= sections; ++i) {
        const QString section = RosterSectionName(i - 1);
        StudentSlot &slot = table[i - 1];
        slot.Name = ini.ReadString(section, kName);
        slot.CardID = Low16(ini.ReadInt(section, kCardID, 0));
        slot.CardSplitName = ini.ReadString(section, kCardSplitName);
        slot.CardSplitID = Low16(ini.ReadInt(section, kCardSplitID, 0));
        if (slot.CardSplitName.IsEmpty()) {
            slot.CardSplitName = ini.ReadString(section, kName);
            slot.CardSplitID = Low16(ini.ReadInt(section, kCardID, 0));
        }
        slot.EntryNumber = static_cast<uint16_t>(i);
    }
    table.SetCount(sections);
    return sections;
}

RosterSize CountRosterEntries(const IniFile &ini) {
    const QStringList names = ini.SectionNames();
    RosterSize size;
    size.Seats = static_cast<int>(
        std::min<qsizetype>(std::count_if(names.begin(), names.end(), IsEntrySection), kSlotCount));
    for (int i = 0; i < size.Seats; ++i) {
        size.Students += ini.ReadString(RosterSectionName(i), kName).isEmpty() ? 0 : 1;
    }
    return size;
}

void WriteRosterEntries(IniFile &ini, const SlotTable &table) {
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        WriteEntry(ini, table, i);
    }
}

bool SaveRoster(const QString &dataDir, const SlotTable &table, int index, QString *error) {
    QList<int> indices;
    if (index == -1) {
        const int count = std::clamp(table.Count.load(), 0, kSlotCount);
        for (int i = 0; i < count; ++i) {
            indices.append(i);
        }
    } else {
        indices.append(index);
    }
    return SaveRosterEntries(dataDir, table, indices, error);
}

bool SaveRosterEntries(const QString &dataDir, const SlotTable &table, const QList<int> &indices,
                       QString *error) {
    for (const int index : indices) {
        if (index < 0 || index >= kSlotCount) {
            if (error != nullptr) {
                *error = QStringLiteral("roster entry %1 does not exist").arg(index);
            }
            return false;
        }
    }
    const QString path = RosterFilePath(dataDir);
    IniFile ini;
    FileProblem problem;
    const ReadStatus status = ini.Load(path, &problem);
    if (status == ReadStatus::Failed || status == ReadStatus::Incomplete) {
        // Never rewrite a file from what could be read of it.
        if (error != nullptr) {
            *error = problem.Describe();
        }
        return false;
    }
    if (status == ReadStatus::Missing) {
        WriteRosterEntries(ini, table);
    }
    for (const int index : indices) {
        WriteEntry(ini, table, index);
    }
    return ini.Save(path, error);
}

} // namespace lumora
