// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Folder browsing for the sequence manager: the list of drives (file-system roots and mounted
// volumes) and a tree of the folders of one drive, read level by level as it is unfolded.

#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <functional>

// The roots the drive box offers: the file-system roots first, then the mount points of the
// mounted volumes, without repeats.
QStringList DriveRoots();
// The root of roots that holds folder (the longest one that is a prefix of it); empty if none.
QString DriveOf(const QString& folder, const QStringList& roots);

class TFolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TFolderTree(QWidget* parent = nullptr);

    // Shows the folders of root; the root becomes the current folder.
    void SetRoot(const QString& root);
    const QString& Root() const { return m_root; }
    // Unfolds the tree down to folder and makes it current. Telling OnChange is left to the
    // caller. A folder outside the root makes the root current.
    void SelectFolder(const QString& folder);
    QString CurrentFolder() const;

    // The user made another folder current.
    std::function<void(const QString&)> OnChange;

private:
    void Fill(QTreeWidgetItem* item);
    QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& name);
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& path, const QString& text);
    void MakeCurrent(QTreeWidgetItem* item);

    QString m_root;
    bool m_setting = false;
};
