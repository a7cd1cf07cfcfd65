#include "viewer/FolderScan.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path ToFsPath(const QString& path) {
#ifdef _WIN32
    return fs::path(path.toStdWString());
#else
    return fs::path(path.toLocal8Bit().toStdString());
#endif
}

QString FromNative(const fs::path::string_type& native) {
#ifdef _WIN32
    return QString::fromStdWString(native);
#else
    return QString::fromLocal8Bit(QByteArrayView(native.data(), qsizetype(native.size())));
#endif
}

bool EndsWithSeparator(const QString& folder) {
#ifdef _WIN32
    return folder.endsWith(u'/') || folder.endsWith(u'\\');
#else
    return folder.endsWith(u'/');
#endif
}

// The extension of a file name without its dot, lower-cased; empty when there is none.
QString LowerExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return QString();
    return name.mid(dot + 1).toLower();
}

struct TMaskTest {
    QSet<QString> extensions;
    const TExtensionFilter& accept;

    bool Matches(const QString& name) const {
        const QString ext = LowerExtension(name);
        return !ext.isEmpty() && extensions.contains(ext) && (!accept || accept(ext));
    }
};

TMaskTest MakeMaskTest(const QString& mask, const TExtensionFilter& accept) {
    const QStringList list = MaskExtensions(mask);
    return TMaskTest{QSet<QString>(list.begin(), list.end()), accept};
}

// Sorts texts by their case-folded form, then by the texts themselves.
void SortByFoldedKey(QStringList& texts) {
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(texts.size()));
    for (QString& t : texts)
        keyed.emplace_back(t.toCaseFolded(), std::move(t));
    std::sort(keyed.begin(), keyed.end());
    texts.clear();
    for (auto& k : keyed)
        texts.push_back(std::move(k.second));
}

// One folder's entries: names of files and of subfolders. Unreadable folders give nothing.
struct TFolderContents {
    QStringList files;
    QStringList folders;
};

TFolderContents ReadFolder(const fs::path& dir, bool wantFolders) {
    TFolderContents out;
    std::error_code ec;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& e = *it;
        std::error_code typeError;
        // Both tests follow links; a broken link, a pipe or a device is neither.
        if (e.is_regular_file(typeError))
            out.files.push_back(FromNative(e.path().filename().native()));
        else if (wantFolders && e.is_directory(typeError))
            out.folders.push_back(FromNative(e.path().filename().native()));
    }
    return out;
}

// Identity of a folder on disk, so that a folder reached again through a link is recognised.
QString FolderIdentity(const fs::path& dir) {
    std::error_code ec;
    const fs::path real = fs::canonical(dir, ec);
    if (ec) return QString();
    return FromNative(real.native());
}

} // namespace

QStringList MaskExtensions(const QString& mask) {
    QString compact = mask;
    compact.remove(u' ');
    QStringList out;
    for (const QString& pattern : compact.split(u';', Qt::SkipEmptyParts)) {
        if (!pattern.startsWith(QLatin1String("*.")) || pattern.size() < 3) continue;
        const QString ext = pattern.mid(2).toLower();
        if (!out.contains(ext)) out.push_back(ext);
    }
    return out;
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.isEmpty() || EndsWithSeparator(folder)) return folder;
    return folder + u'/';
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    return WithTrailingSeparator(folder) + name;
}

void SortNamesCaseInsensitive(QStringList& names) {
    SortByFoldedKey(names);
}

QStringList ListFolder(const QString& folder, const QString& mask, const TExtensionFilter& accept) {
    if (folder.isEmpty()) return {};
    const TMaskTest test = MakeMaskTest(mask, accept);
    QStringList names;
    for (QString& name : ReadFolder(ToFsPath(folder), false).files) {
        if (!test.Matches(name)) continue;
        if (name.startsWith(u'.') || QFileInfo(JoinPath(folder, name)).isHidden()) continue;
        names.push_back(std::move(name));
    }
    SortByFoldedKey(names);
    return names;
}

QStringList ScanFolder(const QString& folder, const QString& mask, bool includeSubfolders,
                       const TExtensionFilter& accept) {
    if (folder.isEmpty()) return {};
    const TMaskTest test = MakeMaskTest(mask, accept);
    QStringList paths;
    QSet<QString> visited;
    // Folders still to read, each as the caller's text for it; an explicit stack keeps deep
    // trees off the call stack.
    std::vector<QString> pending{WithTrailingSeparator(folder)};
    while (!pending.empty()) {
        const QString dirText = std::move(pending.back());
        pending.pop_back();
        const fs::path dir = ToFsPath(dirText);
        const QString identity = FolderIdentity(dir);
        if (identity.isEmpty() || visited.contains(identity)) continue;
        visited.insert(identity);

        TFolderContents contents = ReadFolder(dir, includeSubfolders);
        for (const QString& name : contents.files)
            if (test.Matches(name)) paths.push_back(dirText + name);
        // Sorted and pushed in reverse, so that folders are read in name order and the path
        // kept for a folder reachable in two ways does not depend on the enumeration order.
        SortByFoldedKey(contents.folders);
        for (auto it = contents.folders.crbegin(); it != contents.folders.crend(); ++it)
            if (!it->startsWith(u'.')) pending.push_back(dirText + *it + u'/');
    }
    SortByFoldedKey(paths);
    return paths;
}
