#include "dialogs/MyDlgs.h"

#include "core/InterfaceTexts.h"
#include "core/StretchEx.h"
#include "dialogs/DialogHost.h"
#include "formats/DateDisplay.h"
#include "formats/ImageFiles.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>

namespace {

constexpr int kPreviewCheckWidth = 133;
constexpr int kDefaultBand = 33;
constexpr int kLargestBand = 70;
constexpr int kShadowSize = 4;
constexpr int kCardMargin = 2;

} // namespace

TPreviewPaintBox::TPreviewPaintBox(QWidget* parent) : QWidget(parent) {}

void TPreviewPaintBox::SetPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

void TPreviewPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_picture.isNull()) painter.drawImage(QPoint(0, 0), m_picture);
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* owner) : TOpenDialogEx(owner) {
    PicturePanel = new QWidget(this);
    PicturePanel->setObjectName(QStringLiteral("PicturePanel"));
    PicturePanel->setFixedWidth(kPaneWidth);
    PicturePanel->setFont(DialogFont());
    PreviewCheck = new QCheckBox(InterfaceTexts().Preview, PicturePanel);
    PreviewCheck->setChecked(true);
    PaintBox = new TPreviewPaintBox(PicturePanel);
    InfoLabel = new QLabel(InterfaceTexts().ImageProperties, PicturePanel);
    QFont bold = InfoLabel->font();
    bold.setBold(true);
    InfoLabel->setFont(bold);
    SepPanel = new QFrame(PicturePanel);
    SepPanel->setAutoFillBackground(true);
    QPalette black = SepPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    SepPanel->setPalette(black);
    PictureLabel = new QLabel(PicturePanel);
    PictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PictureLabel->setWordWrap(true);

    // Qt's own dialog lays its controls out in a grid; the pane takes a column on the right.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(PicturePanel, 0, grid->columnCount(), grid->rowCount(), 1);
    PlacePane(kDefaultBand);

    connect(PreviewCheck, &QCheckBox::toggled, this, [this] {
        if (isVisible()) PreviewSelection(CurrentSelection());
    });
}

bool TOpenPictureDialog::Preview() const {
    return PreviewCheck->isChecked();
}

void TOpenPictureDialog::SetPreview(bool on) {
    PreviewCheck->setChecked(on);
}

void TOpenPictureDialog::PlacePane(int band) {
    m_band = band;
    const int width = kPaneWidth - kBorder;
    const int left = kBorder / 2;
    const int checkHeight = PreviewCheck->sizeHint().height();
    PreviewCheck->setGeometry(left, std::max(0, (band - checkHeight) / 2), kPreviewCheckWidth,
                              checkHeight);
    PaintBox->setGeometry(left, band, width, width * 3 / 4);
    const int infoTop = PaintBox->geometry().bottom() + 1 + kBorder;
    InfoLabel->setGeometry(left, infoTop, width, InfoLabel->sizeHint().height());
    const int lineTop = InfoLabel->geometry().bottom() + 1 + kBorder;
    SepPanel->setGeometry(left + 2, lineTop, width - 4, 2);
    const int textTop = lineTop + 2 + kBorder;
    const int textHeight = std::max(PicturePanel->height() - textTop - kBorder,
                                    9 * PictureLabel->fontMetrics().lineSpacing());
    PictureLabel->setGeometry(left, textTop, width, textHeight);
    PicturePanel->setMinimumHeight(textTop + textHeight + kBorder);
}

int TOpenPictureDialog::MeasureBand() const {
    const QWidget* list = nullptr;
    for (const char* name : {"listView", "treeView"}) {
        const auto* w = findChild<QWidget*>(QLatin1String(name));
        if (w != nullptr && w->isVisibleTo(this)) {
            list = w;
            break;
        }
    }
    if (list == nullptr) return kDefaultBand;
    const int top = list->mapTo(this, QPoint(0, 0)).y() - PicturePanel->y();
    return top < 0 || top >= kLargestBand ? kDefaultBand : top;
}

TColor TOpenPictureDialog::PaneColour() const {
    const QColor c = PicturePanel->palette().color(QPalette::Window);
    return RGBColor(c.red(), c.green(), c.blue());
}

void TOpenPictureDialog::PreviewSelection(const QStringList& selected) {
    m_bitDepth = 24;
    m_transparency = tkNone;
    m_infoText.clear();
    const QSize size = PaintBox->size();
    NewImage(m_picture, std::max(1, size.width()), std::max(1, size.height()), PaneColour());
    try {
        TBitmap loaded;
        bool done = false;
        QString path;
        if (Preview() && selected.size() == 1) {
            path = selected.front();
            const QFileInfo info(path);
            done = info.exists() && !info.isDir() && LoadImagePreview(path, loaded) == 1 &&
                   !loaded.Empty();
        }
        if (done) {
            m_bitDepth = BitDepthFound(path, loaded);
            m_transparency = FlattenOnBackground(loaded, clWhite);
            TRect drawn;
            FittedPreview(loaded, m_picture, clWhite, drawn, PaneColour(), kShadowSize,
                          kCardMargin);
            m_infoText = PictureInfoText(path, m_bitDepth, m_transparency, DateDisplayLocale());
        }
    } catch (const std::exception&) {
        m_infoText.clear();
    }
    PaintBox->SetPicture(m_picture.Image());
    QString shown = m_infoText;
    shown.replace(u'\r', u'\n');
    PictureLabel->setText(shown);
}

void TOpenPictureDialog::showEvent(QShowEvent* event) {
    TOpenDialogEx::showEvent(event);
    if (event->spontaneous()) return;
    PlacePane(MeasureBand());
    PreviewSelection(selectedFiles());
}

void TOpenPictureDialog::resizeEvent(QResizeEvent* event) {
    TOpenDialogEx::resizeEvent(event);
    PlacePane(m_band);
}

TMySaveDialog::TMySaveDialog(QWidget* owner) : TSaveDialogEx(owner) {}

void TMySaveDialog::FollowChosenType() {
    const qsizetype index = nameFilters().indexOf(selectedNameFilter());
    if (index < 0 || index >= qsizetype(FilterEntries().size())) return;
    const QString extension = FirstMaskExtension(FilterEntries()[size_t(index)].Masks);
    // "*" or "*.*" name no extension to add.
    if (extension.size() > 1 && !extension.contains(u'*')) setDefaultSuffix(extension.mid(1));
}

void TMySaveDialog::accept() {
    FollowChosenType();
    TSaveDialogEx::accept();
}

void TMySaveDialog::TypeChanged() {
    FollowChosenType();
    const QString typed = NameFieldText();
    if (typed.isEmpty() || FilterIndex < 1 || FilterIndex > int(FilterEntries().size())) return;
    SetNameFieldText(NameWithMaskExtension(typed, FilterEntries()[FilterIndex - 1].Masks));
}
