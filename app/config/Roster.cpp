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

} // namespace

QString RosterFilePath(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("StudentInfo.ini"));
}

QString RosterSectionName(int index) {
    return QStringLiteral("%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

int LoadRoster(const QString &dataDir, SlotTable &table) {
    table.Clear();
    IniFile ini;
    if (ini.Load(RosterFilePath(dataDir)) != ReadStatus::Ok) {
        return 0;
    }
    const int sections =
        static_cast<int>(std::min<qsizetype>(ini.SectionNames().size(), kSlotCount));
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

bool SaveRoster(const QString &dataDir, const SlotTable &table, int index, QString *error) {
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    if (index < -1 || index >= kSlotCount) {
        if (error != nullptr) {
            *error = QStringLiteral("roster entry %1 does not exist").arg(index);
        }
        return false;
    }
    const QString path = RosterFilePath(dataDir);
    IniFile ini;
    if (ini.Load(path, error) == ReadStatus::Failed) {
        return false; // never replace a file that could not be read
    }
    if (index == -1) {
        for (int i = 0; i < count; ++i) {
            WriteEntry(ini, table, i);
        }
    } else {
        WriteEntry(ini, table, index);
    }
    return ini.Save(path, error);
}

} // namespace lumora
