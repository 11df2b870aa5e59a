// The classes on real files: names made safe for files, the list, creating,
// renaming, deleting (kept aside), and switching as an atomic swap that keeps
// both rosters whatever fails in the middle: an injected failure, a full file
// system, a program killed between the two writes.
#include "config/ClassBook.h"

#include "config/IniFile.h"
#include "config/Roster.h"
#include "platform/AtomicFile.h"
#include "support/CrashHelper.h"
#include "support/TestData.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <sys/mount.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

// The seat layer of a roster file, "name#id" per entry.
QStringList Seats(const QString &path) {
    IniFile ini;
    if (ini.Load(path) != ReadStatus::Ok) {
        return {QStringLiteral("<unreadable>")};
    }
    auto table = std::make_unique<SlotTable>();
    ReadRosterEntries(ini, *table);
    QStringList seats;
    for (int i = 0; i < table->Count.load(); ++i) {
        seats << (*table)[i].Name.ToString() + u'#' + QString::number((*table)[i].CardID.load());
    }
    return seats;
}

std::unique_ptr<SlotTable> TableOf(const QStringList &names, int firstId) {
    auto table = std::make_unique<SlotTable>();
    std::vector<test::Student> students;
    for (const QString &name : names) {
        students.push_back({name, static_cast<uint16_t>(firstId++)});
    }
    test::FillTable(*table, students);
    return table;
}

QStringList Names(const std::vector<ClassInfo> &classes) {
    QStringList names;
    for (const ClassInfo &info : classes) {
        names << (info.Current ? u"*"_qs : QString()) + info.Name;
    }
    return names;
}

TEST(ClassBook, FileNamesAreSafeOnEverySystemAndUnique) {
    const struct {
        const char *name;
        QStringList taken;
        const char *stem;
    } rows[] = {
        {"7B", {}, "7B"},
        {"初二(3)班", {}, "初二_3_班"},
        {"a/b\\c:d*e?f\"g<h>i|j", {}, "a_b_c_d_e_f_g_h_i_j"},
        {"  7B  ", {}, "7B"},
        {"", {}, "class"},
        {"///", {}, "class"},
        {"..", {}, "class"},
        {"CON", {}, "CON_"},
        {"lpt1", {}, "lpt1_"},
        {"7B", {"7b"}, "7B_2"},
        {"7B", {"7B", "7B_2"}, "7B_3"},
        {"𠀀班", {}, "𠀀班"}, // outside the basic plane, kept whole
        {"x-kept-20240305-080709", {}, "x_kept_20240305_080709"},
        {"0123456789012345678901234567890123456789overflow",
         {},
         "0123456789012345678901234567890123456789"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(ClassFileStem(U(row.name), row.taken), U(row.stem)) << row.name;
    }
    EXPECT_EQ(CleanClassName(U(" 初二\t(3)\n班 ")), U("初二(3)班"));
    EXPECT_EQ(CleanClassName(QString(50, u'x')).size(), kClassNameLength);
}

// A data folder with the unnamed roster of before (Ann, Bob, Cy) and a class
// "初二(3)班" made from a table.
class Classes : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteRosterFile(dir_.Path(), {{U("Ann"), 1}, {U("Bob"), 2}, {U("Cy"), 3}});
        original_ = dir_.Read("StudentInfo.ini");
        ASSERT_TRUE(book_.Create(U("初二(3)班"), U("数学"), *TableOf({"D", "E", "F", "G"}, 11)));
    }
    QString Roster() const { return dir_.File("StudentInfo.ini"); }
    QString ClassFile(const char *stem) const {
        return dir_.File(u"Classes/"_qs + U(stem) + u".ini"_qs);
    }
    ClassInfo Named(const char *name) const {
        const auto found = book_.Find(U(name));
        EXPECT_TRUE(found.has_value()) << name;
        return found.value_or(ClassInfo{});
    }

    DataDir dir_;
    ClassBook book_{dir_.Path()};
    QByteArray original_;
};

TEST_F(Classes, CreatingListsTheClassAndLeavesTheRosterAlone) {
    EXPECT_EQ(dir_.Read("StudentInfo.ini"), original_);
    const std::vector<ClassInfo> classes = book_.List();
    ASSERT_EQ(Names(classes), QStringList({"*", U("初二(3)班")}));
    EXPECT_EQ(classes[0].Students, 3);
    EXPECT_EQ(classes[1].File, U("初二_3_班"));
    EXPECT_EQ(classes[1].Subject, U("数学"));
    EXPECT_EQ(classes[1].Students, 4);
    EXPECT_EQ(Seats(ClassFile("初二_3_班")), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    // A name with a slash stays one file in Classes/.
    ASSERT_TRUE(book_.Create(U("9/1"), QString(), *TableOf({"H"}, 21)));
    EXPECT_TRUE(QFile::exists(ClassFile("9_1")));
    EXPECT_EQ(book_.Find(U("9/1"))->File, U("9_1"));

    const auto refused = [&](const char *name) {
        return book_.Create(U(name), {}, SlotTable()).What;
    };
    EXPECT_EQ(refused("初二(3)班"), ClassError::NameTaken);
    EXPECT_EQ(refused(" 9/1 "), ClassError::NameTaken);
    EXPECT_EQ(refused(" \n "), ClassError::NameEmpty);
    EXPECT_EQ(book_.List().size(), 3u);
}

TEST_F(Classes, SwitchingSavesTheRosterInMemoryAndBringsTheOtherBack) {
    // The roster in memory differs from the file: an association not yet saved.
    auto table = TableOf({"Ann", "Bob", "Cy"}, 1);
    (*table)[1].CardID = 42;
    ASSERT_TRUE(book_.Switch(Named("初二(3)班"), *table));

    // StudentInfo.ini is the class; the reader counts its four entries only.
    auto loaded = std::make_unique<SlotTable>();
    EXPECT_EQ(LoadRoster(dir_.Path(), *loaded), 4);
    EXPECT_EQ(Seats(Roster()), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    EXPECT_FALSE(QFile::exists(ClassFile("初二_3_班")));
    const std::vector<ClassInfo> classes = book_.List();
    ASSERT_EQ(Names(classes), QStringList({U("*初二(3)班"), ""}));
    EXPECT_EQ(classes[1].File, u"class"_qs);
    EXPECT_EQ(Seats(ClassFile("class")), QStringList({"Ann#1", "Bob#42", "Cy#3"}));

    // And back: the unnamed roster as it was left, the class under its file.
    ASSERT_TRUE(book_.Switch(classes[1], *loaded));
    EXPECT_EQ(Seats(Roster()), QStringList({"Ann#1", "Bob#42", "Cy#3"}));
    EXPECT_EQ(Seats(ClassFile("初二_3_班")), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    EXPECT_EQ(Names(book_.List()), QStringList({"*", U("初二(3)班")}));
    EXPECT_EQ(book_.Switch(book_.Current(), *loaded).What, ClassError::IsCurrent);
}

TEST_F(Classes, AnEmptyUnnamedRosterIsNotKeptAsAClass) {
    test::WriteRosterFile(dir_.Path(), {});
    ASSERT_TRUE(book_.Switch(Named("初二(3)班"), SlotTable()));
    EXPECT_EQ(Names(book_.List()), QStringList({U("*初二(3)班")}));
}

TEST_F(Classes, AnotherClassInTheCurrentClassFileIsNeverOverwritten) {
    const auto seven = TableOf({"Ann", "Bob", "Cy"}, 1);
    ASSERT_TRUE(book_.Rename(book_.Current(), u"7A"_qs, {}));
    ASSERT_TRUE(book_.Switch(Named("初二(3)班"), *seven));
    ASSERT_TRUE(book_.Switch(Named("7A"), *TableOf({"D", "E", "F", "G"}, 11))); // 7A's file: 7A.ini
    // A class file someone put there by hand under 7A's file name.
    dir_.Write("Classes/7A.ini", "[Class]\nName=Other\n[0001]\nName=Zed\nCardID=9\n");
    ASSERT_TRUE(book_.Switch(Named("初二(3)班"), *seven));
    EXPECT_EQ(Seats(ClassFile("7A")), QStringList({"Zed#9"}));
    EXPECT_EQ(Seats(ClassFile("7A_2")), QStringList({"Ann#1", "Bob#2", "Cy#3"}));
    EXPECT_EQ(Names(book_.List()), QStringList({U("*初二(3)班"), "7A", "Other"}));
}

TEST_F(Classes, RenamingKeepsTheRosterAndTheFileName) {
    ASSERT_TRUE(book_.Rename(book_.Current(), u"7A"_qs, u"History"_qs));
    EXPECT_EQ(Seats(Roster()), QStringList({"Ann#1", "Bob#2", "Cy#3"}));
    ASSERT_TRUE(book_.Rename(Named("初二(3)班"), u"8C"_qs, {}));
    EXPECT_EQ(Seats(ClassFile("初二_3_班")), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    const std::vector<ClassInfo> classes = book_.List();
    EXPECT_EQ(Names(classes), QStringList({"*7A", "8C"}));
    EXPECT_EQ(classes[0].Subject, u"History"_qs);
    EXPECT_EQ(book_.Rename(classes[1], u"7a"_qs, {}).What, ClassError::NameTaken);
    EXPECT_TRUE(book_.Rename(classes[1], u"8c"_qs, {})); // its own name in another case
}

TEST_F(Classes, DeletingKeepsTheFileAsideUnlisted) {
    EXPECT_EQ(book_.Remove(book_.Current()).What, ClassError::IsCurrent);
    QString keptAs;
    ASSERT_TRUE(book_.Remove(Named("初二(3)班"), &keptAs));
    EXPECT_TRUE(QFileInfo(keptAs).fileName().startsWith(U("初二_3_班-kept-")));
    EXPECT_EQ(Seats(keptAs), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    EXPECT_EQ(Names(book_.List()), QStringList({"*"}));
    // The name is free again, and a new class does not take the kept file.
    ASSERT_TRUE(book_.Create(U("初二(3)班"), {}, *TableOf({"New"}, 1)));
    EXPECT_EQ(Seats(keptAs), QStringList({"D#11", "E#12", "F#13", "G#14"}));
    ClassInfo gone;
    gone.File = u"gone"_qs;
    EXPECT_EQ(book_.Remove(gone).What, ClassError::NotFound);
}

TEST_F(Classes, FilesThatCannotBeReadCompletelyAreNotSwitched) {
    for (const char *file : {"StudentInfo.ini", "Classes/初二_3_班.ini"}) {
        const QByteArray before = dir_.Read(U(file));
        dir_.Write(U(file), before + QByteArray("; \0\n", 4));
        const QByteArray damaged = dir_.Read(U(file));
        EXPECT_EQ(book_.Switch(Named("初二(3)班"), *TableOf({"Ann"}, 1)).What,
                  ClassError::Unreadable)
            << file;
        EXPECT_EQ(dir_.Read(U(file)), damaged);
        EXPECT_EQ(book_.List().size(), 2u);
        dir_.Write(U(file), before);
    }
}

// What a switch from the class 7A (Ann, Bob, Cy) to 初二(3)班 left behind
// must hold both rosters whole: StudentInfo.ini either class, the other one
// listed, nothing else listed.
void ExpectBothRosters(const DataDir &dir) {
    ClassBook book(dir.Path());
    const std::vector<ClassInfo> classes = book.List();
    ASSERT_EQ(classes.size(), 2u) << Names(classes).join(u',').toStdString();
    const QStringList seven = {"Ann#1", "Bob#2", "Cy#3"};
    const QStringList eight = {"D#11", "E#12", "F#13", "G#14"};
    const bool switched = classes[0].Name == U("初二(3)班");
    EXPECT_EQ(Seats(dir.File("StudentInfo.ini")), switched ? eight : seven);
    EXPECT_EQ(classes[1].Name, switched ? u"7A"_qs : U("初二(3)班"));
    EXPECT_EQ(Seats(dir.File("Classes/" + classes[1].File + ".ini")), switched ? seven : eight);
}

TEST_F(Classes, AWriteThatFailsInTheMiddleKeepsBothRosters) {
    ASSERT_TRUE(book_.Rename(book_.Current(), u"7A"_qs, {}));
    const QByteArray roster = dir_.Read("StudentInfo.ini");
    for (const int failing : {1, 2}) {
        int writes = 0;
        book_.SetWriterForTesting([&](const QString &path, QByteArrayView bytes, QString *error) {
            if (++writes == failing) {
                *error = u"disk full"_qs;
                return false;
            }
            return WriteFileAtomically(path, bytes, error);
        });
        const ClassResult result =
            book_.Switch(Named("初二(3)班"), *TableOf({"Ann", "Bob", "Cy"}, 1));
        EXPECT_EQ(result.What, ClassError::WriteFailed) << failing;
        EXPECT_TRUE(result.Detail.endsWith(u": disk full"_qs)) << result.Detail.toStdString();
        EXPECT_EQ(dir_.Read("StudentInfo.ini"), roster) << failing;
        EXPECT_EQ(QDir(dir_.File("Classes")).entryList(QDir::Files),
                  QStringList({U("初二_3_班.ini")}))
            << failing;
        ExpectBothRosters(dir_);
    }
}

// The switch in a child process killed before the given write replaces its file.
int killBefore = 0;
int replaces = 0;
void CountReplaces() {
    if (++replaces == killBefore) {
        test::DieNow();
    }
}

TEST_F(Classes, AProgramKilledBetweenTheWritesKeepsBothRosters) {
    ASSERT_TRUE(book_.Rename(book_.Current(), u"7A"_qs, {}));
    for (const int write : {1, 2}) {
        const pid_t child = ::fork();
        if (child == 0) {
            killBefore = write;
            SetBeforeReplaceHookForTesting(&CountReplaces);
            book_.Switch(Named("初二(3)班"), *TableOf({"Ann", "Bob", "Cy"}, 1));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "killed before write " << write;
        ExpectBothRosters(dir_);
    }
    // The next switch cleans up after them.
    ASSERT_TRUE(book_.Switch(Named("初二(3)班"), *TableOf({"Ann", "Bob", "Cy"}, 1)));
    ExpectBothRosters(dir_);
    EXPECT_EQ(Seats(Roster()), QStringList({"D#11", "E#12", "F#13", "G#14"}));
}

TEST_F(Classes, AFullFileSystemKeepsBothRosters) {
#ifdef __linux__
    // The data folder on a 64 KB file system in a mount namespace of a child
    // process; free: pages left free for the switch (none, or one for the
    // first file but not the second, which is larger). 77: no mount allowed.
    for (const int freePages : {0, 1}) {
        DataDir dir;
        const int result = test::RunInChild([&] {
            const QByteArray target = QFile::encodeName(dir.Path());
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) {
                return 77;
            }
            test::WriteRosterFile(dir.Path(), {{U("Ann"), 1}, {U("Bob"), 2}, {U("Cy"), 3}});
            ClassBook book(dir.Path());
            QStringList many;
            for (int i = 0; i < 100; ++i) {
                many << QStringLiteral("学生 %1 with a longer name").arg(i);
            }
            if (!book.Rename(book.Current(), u"7A"_qs, {}) ||
                !book.Create(U("初二(3)班"), {}, *TableOf(many, 100))) {
                return 10;
            }
            const QByteArray roster = dir.Read("StudentInfo.ini");
            QFile filler(dir.File("filler"));
            if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
                return 11;
            }
            while (filler.write(QByteArray(1024, 'f')) == 1024) {
            }
            filler.resize((filler.size() / 4096 - freePages) * 4096);
            const ClassResult switched =
                book.Switch(*book.Find(U("初二(3)班")), *TableOf({"Ann", "Bob", "Cy"}, 1));
            const std::vector<ClassInfo> classes = book.List();
            return switched.What != ClassError::WriteFailed                       ? 12
                   : dir.Read("StudentInfo.ini") != roster                        ? 13
                   : classes.size() != 2 || classes[1].Students != 100            ? 14
                   : QDir(dir.File("Classes")).entryList(QDir::Files).size() != 1 ? 15
                                                                                  : 0;
        });
        if (result == 77) {
            GTEST_SKIP() << "no tmpfs can be mounted here";
        }
        EXPECT_EQ(result, 0) << freePages << " pages free";
    }
#else
    GTEST_SKIP() << "tmpfs is Linux only";
#endif
}

} // namespace
} // namespace lumora
