#pragma once
// The "Image size" dialog: a new width and height for the current image, each in pixels,
// percent, centimetres or inches, with an aspect-ratio lock and the "Optimize" choice of smooth
// resampling. It returns the new size in pixels and the resampling code; the caller resizes.

#include <QDialog>
#include <optional>

class IUserDialogs;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScreen;
class TFloatSpinEdit;

enum TSizeUnit { suPixels = 0, suPercent = 1, suCm = 2, suInches = 3 };

struct TScreenDensity {
    double PxPerCmX = 0;
    double PxPerCmY = 0;
};

// Pixels per centimetre from a screen's size in pixels and in millimetres; a nominal 96 pixels
// per inch where the physical size is unknown.
TScreenDensity DensityFrom(const QSize& pixels, const QSizeF& millimetres);
// Device pixels per centimetre of a screen.
TScreenDensity MeasureScreenDensity(const QScreen* screen);

// A field value in its unit to pixels (rounded half to even), and back. imgSize is the current
// size along the same axis, pxPerCm the density along it.
int UnitToPixels(double value, int unit, int imgSize, double pxPerCm);
double PixelsToUnit(int pixels, int unit, int imgSize, double pxPerCm);

struct TResizeChoice {
    int Width = 0;
    int Height = 0;
    int Code = 0; // 3 smooth resampling, 0 nearest pixel
    friend bool operator==(const TResizeChoice&, const TResizeChoice&) = default;
};

inline constexpr int kMinResize = 2;
inline constexpr int kMaxResize = 10000;

class TRedimForm : public QDialog {
    Q_OBJECT
public:
    // The density is measured on the main window's screen unless given; messages go through
    // dialogs, or the program-wide ones when null.
    explicit TRedimForm(QWidget* parent = nullptr,
                        std::optional<TScreenDensity> density = std::nullopt,
                        IUserDialogs* dialogs = nullptr);

    // Shows the dialog for an image of imgW x imgH; the choice on OK, nothing on Cancel.
    std::optional<TResizeChoice> Execute(int imgW, int imgH, bool transparent);

    // Fills the dialog for an image (what showing does).
    void FormShow(int imgW, int imgH, bool transparent);
    // "Ok": false (after telling the user) while a field is empty; otherwise records the choice
    // and closes with OK.
    bool BOkClick();
    TResizeChoice Choice() const { return m_choice; }
    TScreenDensity Density() const { return m_density; }

    QGroupBox* GBActual;
    QLineEdit* EdiLargeur;
    QLineEdit* EdiHauteur;
    QGroupBox* GBNew;
    TFloatSpinEdit* EdiL;
    QComboBox* CmbL;
    TFloatSpinEdit* EdiH;
    QComboBox* CmbH;
    QCheckBox* CBProportions;
    QCheckBox* CBOptimiser;
    QPushButton* BOk;
    QPushButton* BAnnuler;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One of the two fields with its list, image size and density.
    struct TAxis {
        TFloatSpinEdit* Edit;
        QComboBox* Units;
        int Unit = suPixels;
        int ImageSize = 1;
        double PxPerCm = 1;
    };

    void BuildControls();
    void UnitChange(TAxis& axis);
    void FieldChange(TAxis& edited, TAxis& other, bool widthEdited);
    int Pixels(const TAxis& axis) const;
    void WritePixels(TAxis& axis, int pixels);

    IUserDialogs* m_dialogs;
    TScreenDensity m_density;
    TAxis m_width{};
    TAxis m_height{};
    double m_ratio = 1;
    bool m_updating = false;
    TResizeChoice m_choice;
};
