// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Spin edits: an edit box with a small up-down pair inside its right edge, for an integer
// (TSpinEdit2) or a decimal number written through a number format (TFloatSpinEdit).
// Reading Value never fails: unreadable text reads as MinValue; values are held within
// MinValue..MaxValue unless the two are equal.

#include <QLineEdit>
#include <functional>

class QToolButton;

// The shared behaviour: key filtering, arrows, the up-down pair and OnChange.
class TCustomSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    // Fires whenever the text changes, also when Value is set.
    std::function<void()> OnChange;

    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool on);
    bool ShowUpDown() const;
    void SetShowUpDown(bool on);

    // Width of the up-down pair inside the right edge.
    static constexpr int kUpDownWidth = 13;

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    explicit TCustomSpinEdit(QWidget* parent);

    // Adds (direction +1) or subtracts (-1) the increment.
    virtual void StepBy(int direction) = 0;
    // Whether c may be typed at the caret; may replace c by what is to be inserted.
    virtual bool AcceptChar(QChar& c) const = 0;
    // Called when the field loses the focus.
    virtual void TidyText() = 0;

    // Changes the text without firing OnChange.
    void SetTextQuietly(const QString& text);
    // Where typed text goes: the start of the selection, else the caret.
    int InsertPosition() const;
    // The text as it will be once the selection is replaced.
    QString TextWithoutSelection() const;

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Step(int direction);
    void PlaceUpDown();

    QToolButton* m_up;
    QToolButton* m_down;
    bool m_editorEnabled = true;
    bool m_quiet = false;
};

class TSpinEdit2 : public TCustomSpinEdit {
    Q_OBJECT
public:
    explicit TSpinEdit2(QWidget* parent = nullptr);

    int MinValue() const { return m_min; }
    void SetMinValue(int v) { m_min = v; }
    int MaxValue() const { return m_max; }
    void SetMaxValue(int v) { m_max = v; }
    int Increment() const { return m_increment; }
    void SetIncrement(int v) { m_increment = v; }

    int Value() const;
    void SetValue(int v);

protected:
    void StepBy(int direction) override;
    bool AcceptChar(QChar& c) const override;
    void TidyText() override;

private:
    int Limited(int v) const;

    int m_min = 0;
    int m_max = 0;
    int m_increment = 1;
};

class TFloatSpinEdit : public TCustomSpinEdit {
    Q_OBJECT
public:
    explicit TFloatSpinEdit(QWidget* parent = nullptr);

    double MinValue() const { return m_min; }
    void SetMinValue(double v) { m_min = v; }
    double MaxValue() const { return m_max; }
    void SetMaxValue(double v) { m_max = v; }
    double Increment() const { return m_increment; }
    void SetIncrement(double v) { m_increment = v; }
    // A number format such as "0.00" or "0"; empty means "0.00".
    QString Format() const { return m_format; }
    void SetFormat(const QString& format);

    // Read with the widget's locale (its decimal separator).
    double Value() const;
    void SetValue(double v);
    // v written through Format with the widget's locale.
    QString FormatValue(double v) const;

protected:
    void StepBy(int direction) override;
    bool AcceptChar(QChar& c) const override;
    void TidyText() override;

private:
    double Limited(double v) const;
    int Decimals() const;
    QChar Separator() const;

    double m_min = 0;
    double m_max = 0;
    double m_increment = 1.0;
    QString m_format = QStringLiteral("0.00");
};
