// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A colour choice: a swatch and a drop-down arrow. Clicking the swatch opens the assigned colour
// dialog (or the palette pop-up when none is assigned); the arrow and the Right or Down key open
// the pop-up. The pop-up does not reopen within 0.3 s of closing, so the click that closes it
// does not open it again.

#include "core/Color.h"
#include "dialogs/ThemedControl.h"

#include <QtGlobal>
#include <functional>
#include <optional>

class TColorPicker;
class TColorPopup;
class TPrevNextButton;

class TColorEdit : public TThemedCustomControl {
    Q_OBJECT
public:
    // Asks the user for a colour starting from current; nullopt when cancelled.
    using TColorDialog = std::function<std::optional<TColor>(TColor current, QWidget* owner)>;
    // Milliseconds of a steady clock.
    using TClock = std::function<qint64()>;

    explicit TColorEdit(QWidget* parent = nullptr);
    ~TColorEdit() override;

    TColor Color() const { return m_color; }
    // Setting the same colour again does nothing; a new colour fires OnChange.
    void SetColor(TColor c);
    const TColorDialog& ColorDialog() const { return m_dialog; }
    void SetColorDialog(TColorDialog dialog) { m_dialog = std::move(dialog); }
    // The desktop's colour dialog.
    static TColorDialog StandardColorDialog();
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);
    void SetClock(TClock clock) { m_clock = std::move(clock); }

    std::function<void()> OnChange;

    // Opens the pop-up on the current colour unless it closed less than 0.3 s ago or the
    // control is read-only; true when it opened.
    bool DropDown();

    TColorPicker* Picker() const { return m_picker; }
    TPrevNextButton* Arrow() const { return m_arrow; }
    TColorPopup* Popup() const { return m_popup; }

    static constexpr int kArrowWidth = 15;
    static constexpr qint64 kReopenGuardMs = 300;

    QSize sizeHint() const override;

protected:
    void ClientResized() override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SwatchClick();
    void UpdateArrow();

    TColor m_color = clBlack;
    bool m_readOnly = false;
    TColorDialog m_dialog;
    TClock m_clock;
    std::optional<qint64> m_lastClose;
    TColorPicker* m_picker;
    TPrevNextButton* m_arrow;
    TColorPopup* m_popup;
};
