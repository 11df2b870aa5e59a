#include "config/ClassBook.h"

#include "config/IniFile.h"
#include "config/Roster.h"
#include "config/TextFile.h"
#include "platform/AtomicFile.h"
#include "platform/DataFiles.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace lumora {

namespace {

const QString kName = QStringLiteral("Name");
const QString kSubject = QStringLiteral("Subject");
const QString kFile = QStringLiteral("File");
const QString kSuffix = QStringLiteral(".ini");

// The name KeepAside gives a file ("7B-kept-20240305-080709", "-2" ...).
bool IsKeptAside(const QString &stem) {
    static const QRegularExpression kept(QStringLiteral("-kept-\\d{8}-\\d{6}(-\\d+)?$"));
    return kept.match(stem).hasMatch();
}

bool IsReservedDeviceName(const QString &stem) {
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(stem).hasMatch();
}

bool HasClassSection(const IniFile &ini) {
    const QStringList sections = ini.SectionNames();
    return sections.contains(kClassSection.toString(), Qt::CaseInsensitive);
}

ClassInfo InfoOf(const IniFile &ini) {
    ClassInfo info;
    info.Name = ini.ReadString(kClassSection, kName);
    info.Subject = ini.ReadString(kClassSection, kSubject);
    info.File = ini.ReadString(kClassSection, kFile);
    const RosterSize size = CountRosterEntries(ini);
    info.Seats = size.Seats;
    info.Students = size.Students;
    return info;
}

void WriteClassSection(IniFile &ini, const QString &name, const QString &subject,
                       const QString &file) {
    ini.WriteString(kClassSection, kName, name);
    ini.WriteString(kClassSection, kSubject, subject);
    ini.WriteString(kClassSection, kFile, file);
}

bool SameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// No student and no tablet in any seat: nothing of the roster to keep.
bool IsEmptyRoster(const SlotTable &table) {
    for (int i = 0; i < std::clamp(table.Count.load(), 0, kSlotCount); ++i) {
        if (!table[i].Name.IsEmpty() || table[i].CardID.load() != 0) {
            return false;
        }
    }
    return true;
}

QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

ClassResult Unreadable(const QString &path, const FileProblem &problem) {
    return {ClassError::Unreadable, Shown(path) + QStringLiteral(": ") + problem.Describe()};
}

} // namespace

QString CleanClassName(const QString &name) {
    QString kept;
    for (const char32_t c : name.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category != QChar::Other_Control && category != QChar::Separator_Line &&
            category != QChar::Separator_Paragraph) {
            kept += QString::fromUcs4(&c, 1);
        }
    }
    QString cut;
    int characters = 0;
    for (const char32_t c : kept.trimmed().toUcs4()) {
        if (characters++ == kClassNameLength) {
            break;
        }
        cut += QString::fromUcs4(&c, 1);
    }
    return cut.trimmed();
}

QString ClassFileStem(const QString &name, const QStringList &taken) {
    QString stem;
    bool anyKept = false;
    int characters = 0;
    for (const char32_t c : name.trimmed().toUcs4()) {
        if (characters++ == kClassNameLength) {
            break;
        }
        if (QChar::isLetterOrNumber(c)) {
            stem += QString::fromUcs4(&c, 1);
            anyKept = true;
        } else {
            stem += u'_';
        }
    }
    if (!anyKept) {
        stem = QStringLiteral("class");
    }
    if (IsReservedDeviceName(stem)) {
        stem += u'_';
    }
    QString candidate = stem;
    for (int n = 2; taken.contains(candidate, Qt::CaseInsensitive); ++n) {
        candidate = stem + u'_' + QString::number(n);
    }
    return candidate;
}

ClassBook::ClassBook(const QString &dataDir)
    : dataDir_(dataDir), writer_([](const QString &path, QByteArrayView bytes, QString *error) {
          return WriteFileAtomically(path, bytes, error);
      }) {}

QString ClassBook::Folder() const {
    return QDir(dataDir_).filePath(kClassFolder.toString());
}

QString ClassBook::ClassPath(const QString &file) const {
    return QDir(Folder()).filePath(file + kSuffix);
}

QString ClassBook::RosterPath() const {
    return RosterFilePath(dataDir_);
}

void ClassBook::SetWriterForTesting(Writer writer) {
    writer_ = std::move(writer);
}

QStringList ClassBook::ClassFiles() const {
    QStringList files;
    const QStringList names =
        QDir(Folder()).entryList({u'*' + kSuffix}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        const QString stem = name.chopped(kSuffix.size());
        if (!stem.isEmpty() && !IsKeptAside(stem)) {
            files.append(stem);
        }
    }
    return files;
}

QStringList ClassBook::TakenNames() const {
    QStringList names = QDir(Folder()).entryList({u'*' + kSuffix}, QDir::AllEntries | QDir::Hidden);
    for (QString &name : names) {
        name.chop(kSuffix.size());
    }
    return names;
}

ClassInfo ClassBook::Current() const {
    IniFile ini;
    ini.Load(RosterPath());
    ClassInfo info = InfoOf(ini);
    info.Current = true;
    return info;
}

std::vector<ClassInfo> ClassBook::OtherClasses(QStringList *problems) const {
    std::vector<ClassInfo> classes;
    for (const QString &file : ClassFiles()) {
        IniFile ini;
        FileProblem problem;
        const ReadStatus status = ini.Load(ClassPath(file), &problem);
        if (status == ReadStatus::Missing) {
            continue;
        }
        if (status != ReadStatus::Ok && problems != nullptr) {
            problems->append(Shown(ClassPath(file)) + QStringLiteral(": ") + problem.Describe());
        }
        if (status == ReadStatus::Failed) {
            continue;
        }
        ClassInfo info = InfoOf(ini);
        info.File = file;
        classes.push_back(std::move(info));
    }
    return classes;
}

bool ClassBook::IsCopyOf(const ClassInfo &file, const ClassInfo &current) {
    // Names are unique: a class file with the current class's name is its
    // copy. The unnamed class is recognised by its file name only.
    return file.Name == current.Name &&
           (!current.Name.isEmpty() ||
            (!current.File.isEmpty() && SameName(file.File, current.File)));
}

std::vector<ClassInfo> ClassBook::List(QStringList *problems) const {
    std::vector<ClassInfo> classes{Current()};
    std::vector<ClassInfo> others = OtherClasses(problems);
    std::erase_if(others, [&](const ClassInfo &info) { return IsCopyOf(info, classes.front()); });
    // A collator of its own: the one QString keeps for the thread is never freed.
    const QCollator collator;
    std::sort(others.begin(), others.end(), [&](const ClassInfo &a, const ClassInfo &b) {
        const int byName = collator.compare(a.Name, b.Name);
        return byName != 0 ? byName < 0 : a.File < b.File;
    });
    classes.insert(classes.end(), others.begin(), others.end());
    return classes;
}

std::optional<ClassInfo> ClassBook::Find(const QString &name) const {
    const QString wanted = CleanClassName(name);
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    std::optional<ClassInfo> found;
    int equalWithoutCase = 0;
    for (const ClassInfo &info : List()) {
        if (info.Name == wanted) {
            return info;
        }
        if (SameName(info.Name, wanted)) {
            found = info;
            ++equalWithoutCase;
        }
    }
    return equalWithoutCase == 1 ? found : std::nullopt;
}

ClassResult ClassBook::CheckName(const QString &name, const ClassInfo *target) const {
    if (name.isEmpty()) {
        return {ClassError::NameEmpty, {}};
    }
    for (const ClassInfo &info : List()) {
        const bool same = target != nullptr && info.Current == target->Current &&
                          (info.Current || info.File == target->File);
        if (!same && SameName(info.Name, name)) {
            return {ClassError::NameTaken, info.Name};
        }
    }
    return {};
}

bool ClassBook::Write(const QString &path, const QByteArray &bytes, ClassResult *result) const {
    QString error;
    if (!QDir().mkpath(QFileInfo(path).path())) {
        error = QStringLiteral("the folder could not be made");
    } else if (writer_(path, bytes, &error)) {
        return true;
    }
    *result = {ClassError::WriteFailed, Shown(path) + QStringLiteral(": ") + error};
    return false;
}

ClassResult ClassBook::Switch(const ClassInfo &target, const SlotTable &table) {
    if (target.Current) {
        return {ClassError::IsCurrent, {}};
    }
    // Both files whole before anything is written.
    IniFile current;
    FileProblem problem;
    const ReadStatus currentStatus = current.Load(RosterPath(), &problem);
    if (currentStatus == ReadStatus::Failed || currentStatus == ReadStatus::Incomplete) {
        return Unreadable(RosterPath(), problem);
    }
    const QString targetPath = ClassPath(target.File);
    IniFile next;
    switch (next.Load(targetPath, &problem)) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::Missing:
        return {ClassError::NotFound, Shown(targetPath)};
    case ReadStatus::Failed:
    case ReadStatus::Incomplete:
        return Unreadable(targetPath, problem);
    }

    // The current roster to its class file, unless it is the unnamed roster
    // with nobody in it.
    ClassResult result;
    QString madeFile;
    if (HasClassSection(current) || !IsEmptyRoster(table)) {
        ClassInfo info = InfoOf(current);
        info.Current = true;
        // Its own file: a copy left by a switch that did not finish, else the
        // file it had, else a new one; never another class's.
        QString file;
        for (const ClassInfo &other : OtherClasses(nullptr)) {
            if (!SameName(other.File, target.File) && IsCopyOf(other, info)) {
                file = other.File;
            }
        }
        if (file.isEmpty()) {
            file = info.File;
            if (file.isEmpty() || SameName(file, target.File) ||
                QFileInfo::exists(ClassPath(file))) {
                file = ClassFileStem(info.Name, TakenNames());
            }
        }
        const QString path = ClassPath(file);
        const bool existed = QFileInfo::exists(path);
        WriteRosterEntries(current, table);
        WriteClassSection(current, info.Name, info.Subject, file);
        if (!Write(path, current.ToBytes(), &result)) {
            return result;
        }
        if (!existed) {
            madeFile = path;
        }
    }
    // The other class becomes StudentInfo.ini.
    next.WriteString(kClassSection, kFile, target.File);
    if (!Write(RosterPath(), next.ToBytes(), &result)) {
        if (!madeFile.isEmpty()) {
            QFile::remove(madeFile); // the roster it holds is still StudentInfo.ini
        }
        return result;
    }
    // Held by StudentInfo.ini now; should it stay, it is recognised as a copy.
    QFile::remove(targetPath);
    return {};
}

ClassResult ClassBook::Create(const QString &name, const QString &subject, const SlotTable &table,
                              QString *file) {
    const QString cleanName = CleanClassName(name);
    if (ClassResult check = CheckName(cleanName, nullptr); !check) {
        return check;
    }
    const QString stem = ClassFileStem(cleanName, TakenNames());
    IniFile ini;
    WriteClassSection(ini, cleanName, CleanClassName(subject), stem);
    WriteRosterEntries(ini, table);
    ClassResult result;
    if (!Write(ClassPath(stem), ini.ToBytes(), &result)) {
        return result;
    }
    if (file != nullptr) {
        *file = stem;
    }
    return {};
}

ClassResult ClassBook::Rename(const ClassInfo &target, const QString &name,
                              const QString &subject) {
    const QString cleanName = CleanClassName(name);
    if (ClassResult check = CheckName(cleanName, &target); !check) {
        return check;
    }
    const QString path = target.Current ? RosterPath() : ClassPath(target.File);
    IniFile ini;
    FileProblem problem;
    switch (ini.Load(path, &problem)) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::Missing:
        if (!target.Current) {
            return {ClassError::NotFound, Shown(path)};
        }
        break;
    case ReadStatus::Failed:
    case ReadStatus::Incomplete:
        return Unreadable(path, problem);
    }
    ini.WriteString(kClassSection, kName, cleanName);
    ini.WriteString(kClassSection, kSubject, CleanClassName(subject));
    // The unnamed class named: its file name is made now, once, so that
    // whatever refers to the class by it (the lesson record) keeps doing so.
    if (target.Current && ini.ReadString(kClassSection, kFile).isEmpty()) {
        ini.WriteString(kClassSection, kFile, ClassFileStem(cleanName, TakenNames()));
    }
    ClassResult result;
    Write(path, ini.ToBytes(), &result);
    return result;
}

ClassResult ClassBook::Remove(const ClassInfo &target, QString *keptAs) {
    if (target.Current) {
        return {ClassError::IsCurrent, {}};
    }
    const QString path = ClassPath(target.File);
    if (target.File.isEmpty() || !QFileInfo::exists(path)) {
        return {ClassError::NotFound, Shown(path)};
    }
    QString kept;
    QString error;
    if (!KeepAside(path, &kept, &error)) {
        return {ClassError::NotKeptAside, Shown(path) + QStringLiteral(": ") + error};
    }
    if (keptAs != nullptr) {
        *keptAs = kept;
    }
    return {};
}

} // namespace lumora
