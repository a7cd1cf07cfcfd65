#pragma once
// The one way the program writes a file: the new content goes to a temporary file beside the
// target, is flushed and synced to disk with every step checked, and only then takes the
// target's name. A failure at any step leaves the target as it was and no temporary file behind.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Replaces (or creates) fileName with bytes. A symbolic link is followed, so the file it
// points to gets the new content; an existing file keeps its permissions (and, where the
// process may, its owner); an existing file that the user may not write is left alone. Throws
// ETaveluneError, naming the step that failed.
void WriteFileAtomically(const QString& fileName, QByteArrayView bytes);

// The pieces of WriteFileAtomically, for writers that stream their content or must not replace
// an existing file. The first failing step is kept: later calls do nothing and return its error
// number, so a caller may check once at Commit. The temporary file is removed unless Commit
// succeeds.
class TAtomicFile {
public:
    // How the finished temporary file takes the target's name: 0 or an error number.
    using TPublish = int (*)(const QString& temporary, const QString& target);

    // Creates the temporary file beside fileName (links in fileName are not followed), with
    // the mode a new file gets under the process's umask.
    explicit TAtomicFile(const QString& fileName);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    int Write(QByteArrayView bytes);
    int SetMode(unsigned mode);
    // The temporary file's descriptor, for settings such as its dates; -1 after a failure.
    int Descriptor() const { return m_fd; }
    // Syncs and closes the temporary file, gives it the target's name by publish (a rename
    // that replaces the target when null), then syncs the folder.
    int Commit(TPublish publish = nullptr);

    int Error() const { return m_error; }
    // What failed, for messages ("write", "rename"...); empty while nothing failed.
    const char* FailedStep() const { return m_step; }

private:
    int Fail(const char* step, int error);

    QString m_target;
    QByteArray m_temporary; // empty once published or when it was never made
    int m_fd = -1;
    int m_error = 0;
    const char* m_step = "";
};

// The folder of a file path, flushed so that a rename or removal in it survives a crash. Best
// effort: the change it makes lasting has already happened.
void SyncFolderOf(const QString& path);
