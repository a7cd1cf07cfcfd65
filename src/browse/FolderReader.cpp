// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/FolderReader.h"

#ifdef _WIN32

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TFolderContents ReadFolder(const QString& folder, bool wantFolders) {
    TFolderContents out;
    const fs::path dir(folder.toStdWString());
    std::error_code ec;
    const fs::path real = fs::canonical(dir, ec);
    if (ec) return out;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    if (ec) return out;
    out.identity = QString::fromStdWString(real.native());
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        const QString name = QString::fromStdWString(it->path().filename().native());
        if (it->is_regular_file(typeError))
            out.files.push_back(name);
        else if (wantFolders && it->is_directory(typeError))
            out.folders.push_back(name);
    }
    return out;
}

#else

#include <QFile>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TDirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The entry's type with links followed; DT_UNKNOWN when it cannot be found.
unsigned char ResolvedType(int dirFd, const dirent* e) {
    if (e->d_type != DT_UNKNOWN && e->d_type != DT_LNK) return e->d_type;
    struct stat st {};
    if (fstatat(dirFd, e->d_name, &st, 0) != 0) return DT_UNKNOWN;
    if (S_ISREG(st.st_mode)) return DT_REG;
    if (S_ISDIR(st.st_mode)) return DT_DIR;
    return DT_UNKNOWN;
}

} // namespace

TFolderContents ReadFolder(const QString& folder, bool wantFolders) {
    TFolderContents out;
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return out;
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        return out;
    }
    const std::unique_ptr<DIR, TDirCloser> dir(fdopendir(fd));
    if (!dir) {
        close(fd);
        return out;
    }
    out.identity = QStringLiteral("%1:%2").arg(qulonglong(st.st_dev)).arg(qulonglong(st.st_ino));
    while (const dirent* e = readdir(dir.get())) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const unsigned char type = ResolvedType(fd, e);
        if (type == DT_REG)
            out.files.push_back(QFile::decodeName(e->d_name));
        else if (wantFolders && type == DT_DIR)
            out.folders.push_back(QFile::decodeName(e->d_name));
    }
    return out;
}

#endif
