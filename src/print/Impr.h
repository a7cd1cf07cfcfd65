#pragma once
// The "Print" dialog: where and how large the current image lands on the printed page. It shows
// a small picture of the page with the image on it, a scale slider in tens of percent, the
// printed width, height and margins in the print unit, the copies and the two printing options.
// "Print" checks the fields, sets the job's title and copies on the printer and closes with OK;
// the layout and the image then stay here for the print job until ReleaseImage().

#include "core/Bitmap.h"
#include "print/PageLayout.h"
#include "print/PrintPage.h"

#include <QDialog>
#include <QImage>

class IPrintTarget;
class IUserDialogs;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class TCustomSpinEdit;
class TFloatSpinEdit;
class TSpinEdit2;

class TImprForm : public QDialog {
    Q_OBJECT
public:
    // The unit is fixed for the dialog's life; messages go through dialogs, or the program-wide
    // ones when null.
    TImprForm(IPrintTarget& target, TPageUnit unit, QWidget* parent = nullptr,
              IUserDialogs* dialogs = nullptr);

    // Shows the dialog modally for an image and its file; true when "Print" closed it.
    bool Execute(const TBitmap& image, const QString& filePath);

    // What showing does: orientation, page, reset layout, labels.
    void FormShow(const TBitmap& image, const QString& filePath);

    // The handlers of the controls, callable as the user would trigger them.
    void ScrollBarZoomScroll(int position);
    void SELChange();
    void SEHChange();
    void SEXYChange();
    bool BOkTailleClick();
    bool BOkMargesClick();
    void CBAjusterClick();
    void CBCentrerClick();
    void BConfigurerClick();
    bool BImprimerClick();

    // For the print job after OK.
    TPrintLayout Layout() const;
    const TBitmap& Image() const { return m_image; }
    void ReleaseImage();

    TPageUnit Unit() const { return m_unit; }
    double Scale() const { return m_scale; }
    double Fit() const { return m_fit; }
    const TPageGeometry& Page() const { return m_page; }
    TPreviewBox Box() const { return m_box; }
    int LeftDots() const { return m_left; }
    int TopDots() const { return m_top; }
    bool SizeEdited() const { return m_sizeEdited; }
    bool PositionEdited() const { return m_positionEdited; }
    // Where the image is drawn in the page picture, before clipping to the box's inner area.
    QRect PreviewImageRect() const;
    // The area inside the page picture's border.
    QRect PreviewInnerRect() const;

    QCheckBox* CBCentrer;
    QCheckBox* CBAjuster;
    QLabel* LabelZoom;
    QScrollBar* ScrollBarZoom;
    QGroupBox* GBTaille;
    TFloatSpinEdit* SEL;
    TFloatSpinEdit* SEH;
    QPushButton* BOkTaille;
    QGroupBox* GBMarges;
    TFloatSpinEdit* SEX;
    TFloatSpinEdit* SEY;
    QPushButton* BOkMarges;
    QCheckBox* CBContours;
    QCheckBox* CBTraits;
    TSpinEdit2* SECopies;
    QLabel* LblProp;
    QPushButton* BConfigurer;
    QPushButton* BImprimer;
    QPushButton* BAnnuler;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QGroupBox* BuildGroup(const QString& caption, const QString& first, TFloatSpinEdit*& a,
                          const QString& second, TFloatSpinEdit*& b, QPushButton*& ok);
    void Connect();
    // Handles a key for the dialog before the control; true when it was taken.
    bool DialogKey(QObject* watched, const QKeyEvent& key);

    void ReadPage();
    void ResetLayout();
    void ShowScale();
    void ApplyScale();
    void PositionImage();
    void ConfirmSize();
    void ConfirmPosition();
    void UpdateEnabled();
    void WriteField(TFloatSpinEdit* field, double value);
    int DisplayWidth() const;
    int DisplayHeight() const;

    bool CheckFields();
    bool CheckEmptyFields();
    bool CheckSizeRanges();
    bool CheckPositionRanges();
    void RefuseField(TCustomSpinEdit* field, const QString& message);

    void PaintPagePicture(QPainter& painter);
    const QImage& PreviewImage(const QSize& size);
    void ForgetPreview();

    IPrintTarget& m_target;
    TPageUnit m_unit;
    IUserDialogs* m_dialogs;

    TBitmap m_image;
    QString m_filePath;
    TPageGeometry m_page;
    TPreviewBox m_box;
    double m_fit = 1;
    double m_scale = 1;
    int m_left = 0;
    int m_top = 0;
    bool m_updating = false;
    bool m_showingScale = false;
    bool m_sizeEdited = false;
    bool m_positionEdited = false;

    // The image reduced once to the page picture's size, and scaled from that to the size in
    // use, so that moving the slider never goes back to a large image.
    QImage m_previewBase;
    QImage m_preview;
};
