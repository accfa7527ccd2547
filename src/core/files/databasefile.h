#pragma once

#include <QString>

// What a directory's database file holds, looked at without changing it.
enum class DatabaseFileState {
    Missing, // no database file
    Empty,   // a database without a single table: nothing to lose
    Present,
    Damaged, // exists but cannot be read as a database
};

struct DatabaseFileCheck {
    DatabaseFileState state = DatabaseFileState::Missing;
    QString fileName;
    QString problem; // German, for Damaged
};

// thorough: the engine checks every page (takes a moment on a large file);
// otherwise only the header, the file's length against the header and the
// list of tables are read.
DatabaseFileCheck InspectDatabaseFile(const QString& dir, bool thorough);

// The German message that names a damaged file and its damage.
QString DamagedDatabaseMessage(const DatabaseFileCheck& check);

// Raises DbError with that message when the current client's database or
// archive database exists but is damaged. Every start reads the header and
// the schema; the page-by-page check runs once per client and session only
// after a session that did not end cleanly (see SessionMark), and always
// when thorough is asked for.
void CheckClientDatabaseFiles(bool thorough = false);

// Marks the program's session in the Windows directory while it runs: the
// marker is written when the session begins and removed when it ends
// cleanly, so that a marker found at the start tells of a crash or a kill.
// One per program run, made once the log file is known (BuildStartDirs).
class SessionMark {
public:
    SessionMark();
    ~SessionMark();
    SessionMark(const SessionMark&) = delete;
    SessionMark& operator=(const SessionMark&) = delete;
    // The last session ended without removing its marker.
    bool lastEndUnclean() const { return m_unclean; }

private:
    QString m_file;
    bool m_unclean = false;
};

// The marker's name in the Windows directory.
inline constexpr char SessionMarkerName[] = "SITZUNG.DSF";
