#include "dialogs/DialogsEx.h"

#include "dialogs/DialogHost.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>

namespace {

QString WithoutDot(const QString& extension) {
    return extension.startsWith(u'.') ? extension.mid(1) : extension;
}

// The monitor of the program's active window, else of the main window, else the first one.
const QScreen* PlacementScreen(const QWidget& dialog) {
    for (const QWidget* w : {QApplication::activeWindow(), DialogMainWindow()})
        if (w != nullptr && w != &dialog && w->screen() != nullptr) return w->screen();
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.front();
}

} // namespace

std::vector<TFilterEntry> SplitFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(u'|');
    std::vector<TFilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.push_back({parts[i], parts[i + 1]});
    return entries;
}

QString QtNameFilter(const TFilterEntry& entry) {
    static const QRegularExpression trailingMasks(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString description = entry.Description;
    description.remove(trailingMasks);
    QStringList masks;
    for (const QString& mask : entry.Masks.split(u';', Qt::SkipEmptyParts)) {
        const QString m = mask.trimmed();
        if (!m.isEmpty()) masks << (m == QLatin1String("*.*") ? QStringLiteral("*") : m);
    }
    return description + QStringLiteral(" (") + masks.join(u' ') + u')';
}

QPoint DialogPlacement(const QRect& monitor, const QSize& dialog) {
    return {monitor.left() + (monitor.width() - dialog.width()) / 2,
            monitor.top() + (monitor.height() - dialog.height()) / 3};
}

TOpenDialogEx::TOpenDialogEx(QWidget* owner)
    : QFileDialog(owner != nullptr ? owner : DialogOwner()) {
    setOption(QFileDialog::DontUseNativeDialog);
    ApplyDialogFont(*this);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        m_current = path;
        SelectionChanged(path);
    });
    // A click makes the clicked file current before it selects it: the selection is read again
    // once it has changed.
    if (const auto* list = findChild<QAbstractItemView*>(QStringLiteral("listView")))
        if (QItemSelectionModel* selection = list->selectionModel())
            connect(selection, &QItemSelectionModel::selectionChanged, this,
                    [this] { SelectionChanged(m_current); });
    connect(this, &QFileDialog::directoryEntered, this, [this] {
        if (OnFolderChange) OnFolderChange();
    });
    connect(this, &QFileDialog::filterSelected, this,
            [this](const QString& filter) { TypeSelected(filter); });
}

TSaveDialogEx::TSaveDialogEx(QWidget* owner) : TOpenDialogEx(owner) {}

void TOpenDialogEx::Prepare() {
    // Without a title the dialog keeps the toolkit's own, as a plain file dialog would.
    if (!Title.isEmpty())
        setWindowTitle(Title);
    else
        setWindowTitle(SaveMode() ? QFileDialog::tr("Save As") : QFileDialog::tr("Open"));
    setAcceptMode(SaveMode() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (SaveMode())
        setFileMode(QFileDialog::AnyFile);
    else
        setFileMode((Options & ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                   : QFileDialog::ExistingFile);
    setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
    setSizeGripEnabled(Options & ofEnableSizing);

    m_current.clear();
    m_selection.clear();
    m_entries = SplitFilter(Filter);
    m_qtFilters.clear();
    for (const TFilterEntry& e : m_entries)
        m_qtFilters << QtNameFilter(e);
    setNameFilters(m_qtFilters);
    if (FilterIndex >= 1 && FilterIndex <= int(m_qtFilters.size()))
        selectNameFilter(m_qtFilters[FilterIndex - 1]);
    setDefaultSuffix(WithoutDot(DefaultExt));

    if (!InitialDir.isEmpty() && QFileInfo(InitialDir).isDir()) setDirectory(InitialDir);
    if (!FileName.isEmpty()) {
        const QFileInfo proposed(FileName);
        if (proposed.isAbsolute() && QFileInfo(proposed.absolutePath()).isDir())
            setDirectory(proposed.absolutePath());
        selectFile(proposed.fileName());
    }
}

bool TOpenDialogEx::Execute() {
    Prepare();
    if (exec() != QDialog::Accepted) return false;
    Files = selectedFiles();
    if (Files.isEmpty()) return false;
    if (const qsizetype index = m_qtFilters.indexOf(selectedNameFilter()); index >= 0)
        FilterIndex = int(index) + 1;
    FileName = Files.front();
    return true;
}

QLineEdit* TOpenDialogEx::NameField() const {
    // The name field of Qt's own dialog.
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QString TOpenDialogEx::NameFieldText() const {
    const QLineEdit* field = NameField();
    return field != nullptr ? field->text() : QString();
}

void TOpenDialogEx::SetNameFieldText(const QString& text) {
    if (QLineEdit* field = NameField()) field->setText(text);
}

void TOpenDialogEx::TypeSelected(const QString& qtFilter) {
    const qsizetype index = m_qtFilters.indexOf(qtFilter);
    if (index >= 0) FilterIndex = int(index) + 1;
    TypeChanged();
    if (OnTypeChange) OnTypeChange();
}

void TOpenDialogEx::SelectionChanged(const QString& path) {
    QStringList selection = selectedFiles();
    if (selection.isEmpty() && !path.isEmpty()) selection = QStringList{path};
    if (selection == m_selection) return;
    m_selection = selection;
    SelectionUpdated();
    if (OnSelectionChange) OnSelectionChange();
}

void TOpenDialogEx::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (const QScreen* screen = PlacementScreen(*this))
        move(DialogPlacement(screen->availableGeometry(), frameGeometry().size()));
    if (OnShow) OnShow();
}

void TOpenDialogEx::done(int result) {
    if (OnClose) OnClose();
    QFileDialog::done(result);
}
