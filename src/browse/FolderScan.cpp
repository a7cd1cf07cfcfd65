// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/FolderScan.h"

#include "browse/FolderReader.h"

#include <QFileInfo>
#include <QSet>
#include <QStringView>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool EndsWithSeparator(const QString& folder) {
#ifdef _WIN32
    return folder.endsWith(u'/') || folder.endsWith(u'\\');
#else
    return folder.endsWith(u'/');
#endif
}

// The mask's extensions that the filter accepts, tested without allocating per name.
class TMaskTest {
public:
    TMaskTest(const QString& mask, const TExtensionFilter& accept) {
        for (const QString& ext : MaskExtensions(mask))
            if (!accept || accept(ext)) m_extensions.push_back(ext);
    }

    bool Empty() const { return m_extensions.isEmpty(); }

    // The extension is the text after the last dot, compared without regard to letter case.
    bool Matches(QStringView name) const {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0) return false;
        const QStringView ext = name.sliced(dot + 1);
        for (const QString& e : m_extensions)
            if (e.size() == ext.size() && ext.compare(e, Qt::CaseInsensitive) == 0) return true;
        return false;
    }

private:
    QStringList m_extensions;
};

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

// An entry of one folder in the order of whole paths: a file sorts by its name, a subfolder by
// its name and a separator, which orders it against its neighbours as every path inside it.
// Walking the folders in this order gives the paths sorted by their whole text without
// comparing long common prefixes.
struct TScanItem {
    QString key; // case-folded
    QString name;
    bool folder = false;
    bool operator<(const TScanItem& other) const {
        if (key != other.key) return key < other.key;
        return name < other.name;
    }
};

struct TScanFrame {
    QString dirText; // the caller's text for the folder, with its separator
    std::vector<TScanItem> items;
    size_t next = 0;
};

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

QString FolderWithSeparator(const QString& folder) {
    if (folder.isEmpty() || EndsWithSeparator(folder)) return folder;
    return folder + u'/';
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    return FolderWithSeparator(folder) + name;
}

void SortNamesCaseInsensitive(QStringList& names) {
    SortByFoldedKey(names);
}

bool NameLessCaseInsensitive(const QString& a, const QString& b) {
    const int folded = a.toCaseFolded().compare(b.toCaseFolded());
    return folded != 0 ? folded < 0 : a < b;
}

QStringList ListFolder(const QString& folder, const QString& mask, const TExtensionFilter& accept) {
    if (folder.isEmpty()) return {};
    const TMaskTest test(mask, accept);
    if (test.Empty()) return {};
    QStringList names;
    for (QString& name : ReadFolder(folder, false).files) {
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
    const TMaskTest test(mask, accept);
    if (test.Empty()) return {};
    QStringList paths;
    QSet<QString> visited;
    // Folders being walked, each with its entries in order; an explicit stack keeps deep trees
    // off the call stack.
    std::vector<TScanFrame> stack;
    auto enter = [&](QString dirText) {
        TFolderContents contents = ReadFolder(dirText, includeSubfolders);
        if (contents.identity.isEmpty() || visited.contains(contents.identity)) return;
        visited.insert(contents.identity);
        TScanFrame frame{std::move(dirText), {}, 0};
        for (QString& name : contents.files)
            if (test.Matches(name))
                frame.items.push_back(TScanItem{name.toCaseFolded(), std::move(name), false});
        for (QString& name : contents.folders)
            if (!name.startsWith(u'.'))
                frame.items.push_back(TScanItem{name.toCaseFolded() + u'/', std::move(name), true});
        std::sort(frame.items.begin(), frame.items.end());
        stack.push_back(std::move(frame));
    };
    enter(FolderWithSeparator(folder));
    while (!stack.empty()) {
        TScanFrame& top = stack.back();
        if (top.next == top.items.size()) {
            stack.pop_back();
            continue;
        }
        const TScanItem& item = top.items[top.next++];
        if (item.folder)
            enter(top.dirText + item.name + u'/'); // may move top: nothing of it is used after
        else
            paths.push_back(top.dirText + item.name);
    }
    return paths;
}
