// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/EmfHelper.h"

#include "core/Errors.h"
#include "formats/ProgramFolders.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <mutex>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("EMF helper: ") + what);
}

std::mutex drawerMutex;
TEmfDrawer drawer;

// Ends a helper that broke a limit; the destructor would wait for it too, but not kill it.
void Stop(QProcess& process) {
    process.kill();
    process.waitForFinished();
}

} // namespace

QString FindEmfHelper() {
    for (const QString& folder : ProgramLibraryFolders()) {
        const QFileInfo helper(QDir(folder).filePath(QLatin1String(kEmfHelperName)));
        if (helper.isFile() && helper.isExecutable()) return helper.filePath();
    }
    return {};
}

QByteArray RunEmfHelper(const QString& program, TBytes emf, const TEmfHelperLimits& limits) {
    if (program.isEmpty()) Fail("program not found");
    const QDeadlineTimer deadline(limits.TimeoutMs);
    QProcess process;
    process.setProgram(program);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(int(deadline.remainingTime()))) {
        Stop(process);
        Fail("program did not start");
    }
    process.write(reinterpret_cast<const char*>(emf.data()), qint64(emf.size()));
    process.closeWriteChannel();

    // Each wait reads at most what the pipe holds, so the output is checked as it grows.
    QByteArray out;
    while (true) {
        out += process.readAllStandardOutput();
        if (out.size() > limits.MaxOutputBytes) {
            Stop(process);
            Fail("too much output");
        }
        if (process.state() == QProcess::NotRunning) break;
        if (deadline.hasExpired()) {
            Stop(process);
            Fail("out of time");
        }
        process.waitForReadyRead(int(deadline.remainingTime()));
    }
    if (process.exitStatus() != QProcess::NormalExit) Fail("program crashed");
    if (process.exitCode() != 0) Fail("program failed");
    if (out.isEmpty()) Fail("no output");
    return out;
}

void SetEmfDrawer(TEmfDrawer replacement) {
    const std::lock_guard lock(drawerMutex);
    drawer = std::move(replacement);
}

QByteArray DrawEmf(TBytes emf) {
    TEmfDrawer current;
    {
        const std::lock_guard lock(drawerMutex);
        current = drawer;
    }
    if (current) return current(emf);
    return RunEmfHelper(FindEmfHelper(), emf);
}
