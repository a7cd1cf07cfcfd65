// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Renaming, copying and moving files without ever replacing one that exists. Each returns 0 on
// success or the error number that stopped it (EEXIST when the target exists); a failure leaves
// the source where it was and no partial file behind.

#include "core/AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/stat.h>

// A rename that fails when the target exists (also across folders of one file system; EXDEV
// across file systems). A target that is the source itself under another spelling (a.jpg to
// A.jpg on a file system that ignores letter case) is not another file: the name changes.
int RenameNoReplace(const QString& from, const QString& to);

// Copies a regular file's bytes, permissions and dates through a temporary file beside the
// target, flushed to the disk before it takes the target's name.
int CopyNoReplace(const QString& from, const QString& to);

// A rename, or across file systems a flushed copy followed by the removal of the source; when
// the source cannot be removed the copy is removed again.
int MoveNoReplace(const QString& from, const QString& to);

// The system calls the renames are built on, each answering 0 or an error number. Tests replace
// them to act out file systems this machine lacks; an empty member keeps the system's own.
struct TFileSystemCalls {
    // renameat2 with RENAME_NOREPLACE: EINVAL where the file system does not offer it.
    std::function<int(const QByteArray& from, const QByteArray& to)> RenameNoReplace;
    // link(2): EPERM where the file system has no hard links.
    std::function<int(const QByteArray& from, const QByteArray& to)> Link;
    // lstat(2).
    std::function<int(const QByteArray& path, struct stat& st)> Stat;
};

// The calls in force for the life of the scope (tests).
class TFileSystemCallsScope {
public:
    explicit TFileSystemCallsScope(TFileSystemCalls calls);
    ~TFileSystemCallsScope();
    TFileSystemCallsScope(const TFileSystemCallsScope&) = delete;
    TFileSystemCallsScope& operator=(const TFileSystemCallsScope&) = delete;

private:
    TFileSystemCalls m_previous;
};
