// The teacher's classes: several rosters with their seating, one of which is
// the current class.
//
// StudentInfo.ini always holds the current class's roster, so everything that
// reads it stays as it is. The other classes are files of the same format
// under Classes/ in the data folder, one per class ("Classes/7B.ini"). A
// class's name and subject are kept in its file, in a section of their own
// that the roster reader does not count:
//
//   [Class]
//   Name=初二(3)班
//   Subject=数学
//   File=初二_3_班
//
// File is the name the class has under Classes/ when it is not the current
// one; it is made from the name once (letters and digits of any script kept,
// everything else "_", never a name Windows reserves, unique without regard
// to case) and stays when the class is renamed. A roster file without the
// section is the roster of before classes were named: the unnamed class.
//
// Switching writes two files: first the current roster (as it is in memory,
// exactly what saving the roster would write) to its class file, then the
// other class's file over StudentInfo.ini. Each write is atomic and checked;
// when the second fails, StudentInfo.ini is still the old class and both
// rosters are on disk (a class file the switch made is removed again). Once
// StudentInfo.ini holds the new class its file under Classes/ goes. Should a
// program end between the writes, a class file with the current class's name
// (the unnamed class: its file name) is a copy of the current class: it is
// not listed, and the next switch writes over it.
//
// A deleted class's file is kept aside under Classes/ ("7B-kept-20240305-
// 080709.ini") and not listed; nothing is removed that is not also elsewhere.
//
// QtCore only; user-interface thread.
#pragma once

#include "config/SlotTable.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace lumora {

// The folder of the classes in the data folder, and their section.
inline constexpr QStringView kClassFolder = u"Classes";
inline constexpr QStringView kClassSection = u"Class";
// Longest class name or subject, in characters.
inline constexpr int kClassNameLength = 40;

struct ClassInfo {
    QString File;     // its name under Classes/ without ".ini"; may be empty for the current class
    QString Name;     // empty: the unnamed class
    QString Subject;  // may be empty
    int Seats = 0;    // roster entries
    int Students = 0; // entries with a name
    bool Current = false;
};

// What kept an operation from being done; nothing was changed then.
enum class ClassError {
    None,
    NotFound,     // no such class
    IsCurrent,    // the current class cannot be switched to or deleted
    NameEmpty,    // a class needs a name
    NameTaken,    // another class has that name
    Unreadable,   // a file could not be read completely (Detail: the file and why)
    WriteFailed,  // a file could not be written (Detail: the file and why)
    NotKeptAside, // a deleted class's file could not be kept aside (Detail)
};

struct ClassResult {
    ClassError What = ClassError::None;
    QString Detail; // the file and the platform's reason, for the messages
    explicit operator bool() const { return What == ClassError::None; }
};

// A name for a file under Classes/ made from a class name: letters and digits
// of any script kept, every other character "_", at most kClassNameLength
// characters, "class" when nothing is left, "_" after a device name Windows
// reserves (CON, NUL, COM1 ...), and "_2", "_3" ... when taken (without regard
// to case) is one of the names in taken.
QString ClassFileStem(const QString &name, const QStringList &taken);

// A class name as typed: blanks at the ends removed, line breaks and other
// control characters dropped, cut to kClassNameLength characters.
QString CleanClassName(const QString &name);

class ClassBook {
public:
    explicit ClassBook(const QString &dataDir);

    // The folder of the class files (it may not exist yet).
    QString Folder() const;

    // The current class first, then the others by name. A class file that
    // cannot be read completely is listed with what could be read of it;
    // *problems (when given) names such files.
    std::vector<ClassInfo> List(QStringList *problems = nullptr) const;
    ClassInfo Current() const;
    // A class by its name: the exact name, else the only one equal without
    // regard to case. None when there is no such class.
    std::optional<ClassInfo> Find(const QString &name) const;

    // The operations name a class as List gave it: the current one by its
    // flag, the others by their file.

    // Makes another class the current one; table is the current roster in
    // memory, saved to the current class's file first. Afterwards
    // StudentInfo.ini holds the new class (load it with LoadRoster).
    ClassResult Switch(const ClassInfo &target, const SlotTable &table);
    // A new class (not the current one) with the roster of table; *file (when
    // given) its file name.
    ClassResult Create(const QString &name, const QString &subject, const SlotTable &table,
                       QString *file = nullptr);
    // New name and subject of a class (the current one too); the file keeps
    // its name. The unnamed class gets its file name now.
    ClassResult Rename(const ClassInfo &target, const QString &name, const QString &subject);
    // Keeps the file of a class that is not the current one aside (*keptAs
    // its new path).
    ClassResult Remove(const ClassInfo &target, QString *keptAs = nullptr);

    // For tests: the function every write goes through (WriteFileAtomically
    // by default), to make a chosen write fail.
    using Writer = std::function<bool(const QString &path, QByteArrayView bytes, QString *error)>;
    void SetWriterForTesting(Writer writer);

private:
    QString ClassPath(const QString &file) const;
    QString RosterPath() const;
    // Every class file under Classes/ that is a class (not a temporary or
    // kept file), as its file name without ".ini".
    QStringList ClassFiles() const;
    // The classes under Classes/ that can be read, copies of the current one
    // among them.
    std::vector<ClassInfo> OtherClasses(QStringList *problems) const;
    static bool IsCopyOf(const ClassInfo &file, const ClassInfo &current);
    // Every name under Classes/ a new class file must not take.
    QStringList TakenNames() const;
    // Whether the name is free for the class target (null: a new class).
    ClassResult CheckName(const QString &name, const ClassInfo *target) const;
    bool Write(const QString &path, const QByteArray &bytes, ClassResult *result) const;

    QString dataDir_;
    Writer writer_;
};

} // namespace lumora
