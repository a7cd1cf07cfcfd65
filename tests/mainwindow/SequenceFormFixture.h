// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The sequence manager on its own, over a list of its own, with the message box and the file
// chooser scripted. Images are small files written into a temporary folder.

#include "MainFormFixture.h"
#include "TestFiles.h"
#include "viewer/FolderTree.h"
#include "viewer/SequenceForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <utility>

struct TEntryText {
    const char* path; // relative to the image folder
    const char* comment;
};

class SequenceFormTest : public ::testing::Test, protected TTestFolder {
protected:
    SequenceFormTest() { m_sequence.SetFolder(Img("")); }
    ~SequenceFormTest() override {
        if (m_form) m_form->hide();
        m_form.reset();
    }

    void WriteText(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        WriteFileBytes(path, bytes);
    }
    // a.png, b.png, c.png... in the image folder, of widths 40, 50, 60...
    QStringList WriteSeries(int count) { return TTestFolder::WriteSeries(Img(""), count); }

    // The list before the dialog opens: entries of the image folder, not modified.
    void SetEntries(std::initializer_list<TEntryText> entries, int current = -1) {
        m_sequence.RemoveAll();
        for (const TEntryText& e : entries) {
            m_sequence.AddImage(Img(e.path));
            m_sequence.SetComment(m_sequence.Count() - 1, e.comment);
        }
        m_sequence.SetCurrent(current);
        m_sequence.SetModified(false);
    }

    TSequenceForm& Open() {
        if (!m_form) m_form = std::make_unique<TSequenceForm>(m_sequence, m_chooser);
        m_form->show();
        EXPECT_TRUE(m_form->SnapshotTaken());
        return *m_form;
    }

    // Entry paths relative to the image folder, and the comments.
    QStringList Names() const {
        QStringList names;
        for (const TSequenceEntry& e : m_sequence.Entries())
            names << QDir(Img("")).relativeFilePath(e.Path);
        return names;
    }
    QStringList Comments() const {
        QStringList comments;
        for (const TSequenceEntry& e : m_sequence.Entries())
            comments << e.Comment;
        return comments;
    }
    QStringList FilePane() const {
        QStringList names;
        for (int i = 0; i < m_form->LBFichiers->count(); ++i)
            names << m_form->LBFichiers->item(i)->text();
        return names;
    }
    QStringList ListPane() const {
        QStringList paths;
        for (int i = 0; i < m_form->LBImages->count(); ++i)
            paths << m_form->LBImages->item(i)->text();
        return paths;
    }
    int FileTypeIndex(const QString& description) const {
        for (int i = 0; i < m_form->CmbTypes->count(); ++i)
            if (m_form->CmbTypes->itemText(i).startsWith(description)) return i;
        return -1;
    }
    TTriple DialogColour() const {
        const QColor c = m_form->palette().color(QPalette::Window);
        return Rgb(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    }
    TTriple PreviewCentre() const {
        return PixelAt(m_form->PreviewPicture(), kSequencePreviewWidth / 2,
                       kSequencePreviewHeight / 2);
    }
    bool PreviewCleared() const {
        const TBitmap& p = m_form->PreviewPicture();
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (!(PixelAt(p, x, y) == DialogColour())) return false;
        return true;
    }
    void Focus(QWidget* w) {
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &in);
    }

    TScriptedUserDialogs m_dialogs;
    TUserDialogsScope m_dialogsScope{m_dialogs};
    std::shared_ptr<TFilesState> m_files = std::make_shared<TFilesState>();
    TScriptedFiles m_chooser{m_files};
    TImageSequence m_sequence;
    std::unique_ptr<TSequenceForm> m_form;
};
