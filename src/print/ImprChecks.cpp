// The field checks of the print dialog and their messages.
#include "print/Impr.h"

#include "dialogs/Spin2.h"
#include "dialogs/UserDialogs.h"

#include <QCheckBox>
#include <QLocale>
#include <algorithm>

namespace {

constexpr double kMinSize = 1.0;
// The fields show two decimals: a value the dialog wrote itself from a size that just fits (the
// fitting scale puts the image edge on the page edge) may read up to half a hundredth above it.
constexpr double kShownPrecision = 0.005;

QString Number(double v) {
    return QLocale().toString(v, 'f', 2);
}

bool Empty(const TCustomSpinEdit* field) {
    return field->text().trimmed().isEmpty();
}

} // namespace

void TImprForm::RefuseField(TCustomSpinEdit* field, const QString& message) {
    IUserDialogs& dialogs = m_dialogs != nullptr ? *m_dialogs : UserDialogs();
    dialogs.Message(message, mkWarning, mbOk);
    field->setFocus();
    field->selectAll();
}

bool TImprForm::CheckEmptyFields() {
    for (TCustomSpinEdit* field :
         std::initializer_list<TCustomSpinEdit*>{SEL, SEH, SEX, SEY, SECopies}) {
        if (Empty(field)) {
            IUserDialogs& dialogs = m_dialogs != nullptr ? *m_dialogs : UserDialogs();
            dialogs.Message(QStringLiteral("Complete all the fields before continuing !"),
                            mkWarning, mbOk);
            field->setFocus();
            return false;
        }
    }
    return true;
}

bool TImprForm::CheckSizeRanges() {
    const double pageW = m_page.WidthUnits();
    const double pageH = m_page.HeightUnits();
    const double w = SEL->Value();
    if (w < kMinSize || w > pageW + kShownPrecision) {
        RefuseField(SEL, QStringLiteral("The width must lie between %1 and %2 !")
                             .arg(Number(kMinSize), Number(BoundForMessage(pageW))));
        return false;
    }
    const double h = SEH->Value();
    if (h < kMinSize || h > pageH + kShownPrecision) {
        RefuseField(SEH, QStringLiteral("The height must lie between %1 and %2 !")
                             .arg(Number(kMinSize), Number(BoundForMessage(pageH))));
        return false;
    }
    return true;
}

// The free space follows the scale in force.
bool TImprForm::CheckPositionRanges() {
    const double maxLeft = std::max(m_page.WidthUnits() - m_page.DotsToUnitsX(DisplayWidth()), 0.0);
    const double maxTop =
        std::max(m_page.HeightUnits() - m_page.DotsToUnitsY(DisplayHeight()), 0.0);
    if (SEX->Value() > maxLeft + kShownPrecision) {
        RefuseField(SEX, QStringLiteral("The left margin must be lower or equal to %1 !")
                             .arg(Number(BoundForMessage(maxLeft))));
        return false;
    }
    if (SEY->Value() > maxTop + kShownPrecision) {
        RefuseField(SEY, QStringLiteral("The top margin must be lower or equal to %1 !")
                             .arg(Number(BoundForMessage(maxTop))));
        return false;
    }
    return true;
}

bool TImprForm::CheckFields() {
    if (CBAjuster->isChecked()) return true;
    return CheckEmptyFields() && CheckSizeRanges() && CheckPositionRanges();
}
