#pragma once
// The program's open and save dialogs: Qt's own file dialog (never the desktop's, so that a
// preview pane can live inside it) with the usual settings, an owner, placement on the monitor
// of the program's active window, and events for showing, closing, selection, folder and type.

#include <QFileDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QLineEdit;

enum TDialogOption : unsigned {
    ofOverwritePrompt = 1u << 0, // ask before replacing a file (save)
    ofHideReadOnly = 1u << 1,    // no read-only box (this dialog never has one)
    ofAllowMultiSelect = 1u << 2,
    ofPathMustExist = 1u << 3,
    ofFileMustExist = 1u << 4,
    ofEnableSizing = 1u << 5,
};

// One entry of a "description|masks|description|masks..." filter.
struct TFilterEntry {
    QString Description;
    QString Masks; // "*.jpg;*.jpeg"
};

std::vector<TFilterEntry> SplitFilter(const QString& pipeFilter);
// The entry as a Qt name filter: "description (masks separated by spaces)"; a description that
// already ends with its masks in brackets keeps only its text; "*.*" becomes "*".
QString QtNameFilter(const TFilterEntry& entry);

// Where a dialog goes on a monitor's free area: centred horizontally, its top at one third of
// the height left over.
QPoint DialogPlacement(const QRect& monitor, const QSize& dialog);

class TOpenDialogEx : public QFileDialog {
    Q_OBJECT
public:
    // The owner is the program's active window, else the main window, unless one is given.
    explicit TOpenDialogEx(QWidget* owner = nullptr);

    QString Title;
    QString Filter;
    int FilterIndex = 1; // 1-based; the entry chosen when the dialog closes
    QString InitialDir;
    QString DefaultExt; // with or without its dot
    QString FileName;   // proposed on entry, chosen on OK
    unsigned Options = ofHideReadOnly | ofEnableSizing;
    QStringList Files; // every chosen file on OK

    std::function<void()> OnShow, OnClose, OnSelectionChange, OnFolderChange, OnTypeChange;

    // Shows the dialog modally; true with FileName and Files set on OK.
    bool Execute();
    // Applies the settings to the Qt dialog (what Execute does before showing).
    void Prepare();

    const std::vector<TFilterEntry>& FilterEntries() const { return m_entries; }
    // The text of the file-name field.
    QString NameFieldText() const;
    void SetNameFieldText(const QString& text);
    // The files selected at the moment (the current item when nothing is selected).
    QStringList CurrentSelection() const { return m_selection; }

    // What the dialog does when the user picks the type whose Qt filter is given.
    void TypeSelected(const QString& qtFilter);
    // What the dialog does when the current item becomes path or the selection changes: the
    // selected files (the current item when nothing is selected) become the selection, and the
    // dialog's work and the event follow when they differ from the last.
    void SelectionChanged(const QString& path);

protected:
    virtual bool SaveMode() const { return false; }
    // The dialog's own work when the type or the selection changes, before the events.
    virtual void TypeChanged() {}
    virtual void SelectionUpdated() {}
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QLineEdit* NameField() const;

    std::vector<TFilterEntry> m_entries;
    QStringList m_qtFilters;
    QString m_current;
    QStringList m_selection;
};

class TSaveDialogEx : public TOpenDialogEx {
    Q_OBJECT
public:
    explicit TSaveDialogEx(QWidget* owner = nullptr);

protected:
    bool SaveMode() const override { return true; }
};
