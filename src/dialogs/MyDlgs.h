#pragma once
// The open dialog with a preview pane (the picture and its information text) and the save
// dialog that keeps the typed name's extension in step with the chosen file type.

#include "core/Bitmap.h"
#include "dialogs/DialogsEx.h"
#include "formats/Flatten.h"

#include <QImage>
#include <QLocale>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;

// "1 octet", "2 octets" up to 1023 bytes, then "1,00 Ko", "Mo", "Go" with two decimals and the
// locale's decimal separator (no thousands separator).
QString FileSizeText(qint64 bytes, const QLocale& locale);

// The kind line: "Gif animé", "Icon", "Metafile"... or the bit depth ("1 bit", "24 bits").
QString PictureKindText(const QString& fileName, int bitDepth, bool animatedGif);

// The information text of a file just loaded for preview, lines joined by carriage returns:
// the size stored in the file, the kind, the transparency, the description of its ICC profile,
// the file size, the modification date, then an empty line and the EXIF lines for names that
// carry EXIF.
QString PictureInfoText(const QString& fileName, int bitDepth, TTransparencyKind transparency,
                        const QLocale& locale);

// The first extension of a mask list, with its dot: "*.jpg;*.jpeg" gives ".jpg".
QString FirstMaskExtension(const QString& masks);
// The typed name with its extension replaced by the first extension of a mask list; an empty
// name stays empty.
QString NameWithMaskExtension(const QString& typedName, const QString& masks);

// Paints a kept picture.
class TPreviewPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewPaintBox(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

class TOpenPictureDialog : public TOpenDialogEx {
    Q_OBJECT
public:
    explicit TOpenPictureDialog(QWidget* owner = nullptr);

    bool Preview() const;
    void SetPreview(bool on);

    // Shows the preview of the selected names: one existing file, not a folder, with
    // "Preview" checked; otherwise the empty surround and no text.
    void PreviewSelection(const QStringList& selected);

    // The picture shown (24 bits, the size of PaintBox) and the information text.
    const TBitmap& PreviewPicture() const { return m_picture; }
    QString InfoText() const { return m_infoText; }
    int BitDepth() const { return m_bitDepth; }
    TTransparencyKind Transparency() const { return m_transparency; }
    // The height of the band above the picture.
    int BandHeight() const { return m_band; }
    // Places the pane's controls for the band height given.
    void PlacePane(int band);

    static constexpr int kPaneWidth = 200;
    static constexpr int kBorder = 6;

    QWidget* PicturePanel;
    QCheckBox* PreviewCheck;
    TPreviewPaintBox* PaintBox;
    QLabel* InfoLabel;
    QFrame* SepPanel;
    QLabel* PictureLabel;

protected:
    void SelectionUpdated() override { PreviewSelection(CurrentSelection()); }
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int MeasureBand() const;
    TColor PaneColour() const;

    TBitmap m_picture;
    QString m_infoText;
    int m_bitDepth = 24;
    TTransparencyKind m_transparency = tkNone;
    int m_band = 33;
};

class TMySaveDialog : public TSaveDialogEx {
    Q_OBJECT
public:
    explicit TMySaveDialog(QWidget* owner = nullptr);

    // A name typed without extension gets the chosen type's first extension.
    void accept() override;

protected:
    void TypeChanged() override;

private:
    void FollowChosenType();
};
