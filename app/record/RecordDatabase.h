// The lesson record's SQLite file, Records/lessons.db in the data folder:
// one connection with the pragmas the record relies on (WAL, foreign keys,
// full sync of every commit) and the schema brought forward to the current
// version through PRAGMA user_version.
//
// A connection belongs to the thread that opened it (Qt SQL's rule).
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace lumora {

// The schema this program writes; a database at a lower version is migrated
// forward when it is opened, one at a higher version is refused.
int RecordSchemaVersion();

// dataDir/Records and the database file in it.
QString RecordsFolder(const QString &dataDir);
QString RecordDatabasePath(const QString &dataDir);

class RecordConnection {
public:
    RecordConnection();
    ~RecordConnection();
    RecordConnection(const RecordConnection &) = delete;
    RecordConnection &operator=(const RecordConnection &) = delete;

    // Opens (creating when create is set) the database at path, sets the
    // pragmas and migrates it to RecordSchemaVersion(). False with *error
    // when the file cannot be opened, is not a database, belongs to a newer
    // schema or cannot be migrated; the connection is closed again then.
    bool Open(const QString &path, bool create, QString *error);
    void Close();
    // Opens an existing file for reading only, as a record on read-only media
    // (a backup, a shared folder) must be: SQLite's read-only mode, else its
    // immutable mode when not even the shared-memory file can be made there.
    // Nothing is configured or migrated; false with *error.
    bool OpenReadOnly(const QString &path, QString *error);
    bool IsOpen() const { return db_.isOpen(); }
    // Whether the last failure was another connection holding the file
    // (not a fault of the file).
    bool Busy() const;
    // Whether it was the file's content (corrupt, or no database).
    bool Corrupt() const;
    // Whether it was the machine rather than the file: another connection
    // holding it, a full disk, an I/O error, no memory.
    bool NotTheFilesFault() const;
    // Whether the last failure leaves nothing against the file itself: it was
    // written by a newer version of the program, or this user may not read or
    // write it. Such a file stays where it is.
    bool FileIsSound() const;
    // Records a failed statement: its SQLite code and *error; false.
    bool Failed(const QSqlError &sqlError, QString *error);
    QSqlDatabase &Database() { return db_; }

private:
    bool Configure(QString *error);
    bool Migrate(QString *error);

    QString name_;
    QSqlDatabase db_;
    int failureCode_ = 0;
    bool newerSchema_ = false;
    bool notPermitted_ = false;
};

} // namespace lumora
