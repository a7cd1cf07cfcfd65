// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStorageInfo>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

QString Clean(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

#ifdef _WIN32
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

// True when folder is root or lies below it (both cleaned).
bool Holds(const QString& root, const QString& folder) {
    if (folder.compare(root, kPathCase) == 0) return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return folder.startsWith(prefix, kPathCase);
}

} // namespace

QStringList DriveRoots() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives())
        roots << Clean(drive.absoluteFilePath());
    QStringList volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        // Single files mounted over others (as containers do) are no drives.
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir())
            volumes << Clean(volume.rootPath());
    volumes.sort();
    for (const QString& v : volumes)
        if (!roots.contains(v)) roots << v;
    return roots;
}

QString DriveOf(const QString& folder, const QStringList& roots) {
    const QString clean = Clean(folder);
    QString best;
    for (const QString& root : roots)
        if (root.size() > best.size() && Holds(root, clean)) best = root;
    return best;
}

TFolderTree::TFolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Fill(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_setting || item == nullptr || !OnChange) return;
        OnChange(item->data(0, kPathRole).toString());
    });
}

QTreeWidgetItem* TFolderTree::AddFolder(QTreeWidgetItem* parent, const QString& path,
                                        const QString& text) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, kPathRole, path);
    // Whether it has subfolders is found out when it is unfolded.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TFolderTree::SetRoot(const QString& root) {
    const bool was = m_setting;
    m_setting = true;
    clear();
    m_root = Clean(root);
    QTreeWidgetItem* top = AddFolder(nullptr, m_root, QDir::toNativeSeparators(m_root));
    MakeCurrent(top);
    m_setting = was;
}

void TFolderTree::Fill(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QDir dir(item->data(0, kPathRole).toString());
    const QStringList names =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        AddFolder(item, dir.filePath(name), name);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TFolderTree::ChildNamed(QTreeWidgetItem* parent, const QString& name) {
    Fill(parent);
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name) return parent->child(i);
    // Hidden folders are not listed, but one can still be shown when it is asked for.
    return AddFolder(parent, QDir(parent->data(0, kPathRole).toString()).filePath(name), name);
}

void TFolderTree::MakeCurrent(QTreeWidgetItem* item) {
    const bool was = m_setting;
    m_setting = true;
    setCurrentItem(item);
    scrollToItem(item);
    m_setting = was;
}

void TFolderTree::SelectFolder(const QString& folder) {
    if (topLevelItemCount() == 0) return;
    QTreeWidgetItem* item = topLevelItem(0);
    const QString clean = Clean(folder);
    if (Holds(m_root, clean) && clean != m_root) {
        const QString relative = QDir(m_root).relativeFilePath(clean);
        for (const QString& name : relative.split(u'/', Qt::SkipEmptyParts)) {
            const bool was = m_setting;
            m_setting = true;
            item->setExpanded(true);
            m_setting = was;
            item = ChildNamed(item, name);
        }
    }
    MakeCurrent(item);
}

QString TFolderTree::CurrentFolder() const {
    const QTreeWidgetItem* item = currentItem();
    return item != nullptr ? item->data(0, kPathRole).toString() : m_root;
}
