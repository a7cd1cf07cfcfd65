// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The settings dialog "Paramètres": the settings record on four pages. Every showing loads the
// controls from the record. "OK" copies them back; "Save" writes what the dialog shows to the
// settings file after a question, leaving the record alone and the dialog open; "Cancel"
// changes nothing.

#include "settings/SettingsStore.h"

#include <QDialog>
#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TColorEdit;
class TSpinEdit2;

// A group box of exclusive radio buttons, read and set by index; -1 is no choice.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index outside the items leaves every button unchecked.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;
    int Count() const;

private:
    QButtonGroup* m_group;
};

// The items of the lists, in index order.
QStringList ZoomItems();
QStringList TintItems();
QStringList AdjustmentItems();
QStringList FluidityItems();
QStringList RotationItems();

class TParamsForm : public QDialog {
    Q_OBJECT
public:
    // The record is the store's; effects give the main window's full-screen state and take the
    // new scrolling step at once; isMaximised tells whether the main window is maximised.
    TParamsForm(TSettingsStore& store, ISettingsEffects& effects, std::function<bool()> isMaximised,
                QWidget* parent = nullptr);

    // Loads the controls and shows the dialog modally; true when it closed with OK (the
    // record then holds the shown values).
    bool Execute();

    // Each control takes its key's value from the record.
    void FormShow();
    // "Reduction only" is enabled for the fit modes alone.
    void CBZoomChange();
    void CBOmbreClick();
    void CBCadre3DClick();
    // Asks, then writes the shown values; true when the file was written.
    bool BSauverClick();
    // Copies every control into the record and closes with OK.
    void BOkClick();

    // The texts "Save" writes for what the dialog shows.
    TSettingsValues ShownValues() const;

    QTabWidget* Pages;
    // "View"
    TColorEdit* ColorEditFond;
    QCheckBox* CBMotif;
    QComboBox* CBZoom;
    QCheckBox* CBReduction;
    QCheckBox* CBZoomOpt;
    QCheckBox* CBCadrePhoto;
    QCheckBox* CBOmbre;
    QCheckBox* CBCadre3D;
    QCheckBox* CBRayures;
    QComboBox* CBTeinte;
    QComboBox* CBReglage;
    QCheckBox* CBFlou;
    // "Advanced"
    TSpinEdit2* SEEpaisseurCadre;
    TColorEdit* ColorEditCadre;
    TSpinEdit2* SETailleMaxVignette;
    QCheckBox* CBAleatoire;
    TSpinEdit2* SEDelaiDiaporama;
    QCheckBox* CBBoucler;
    QCheckBox* CBQuitter;
    QCheckBox* CBScrollingAuto;
    QCheckBox* CBScrollingAutoSouris;
    QComboBox* CBFluidite;
    // "Comment"
    QCheckBox* CBCommentaire;
    TColorEdit* ColorEditCommentaire;
    TSpinEdit2* SETailleCommentaire;
    QCheckBox* CBGras;
    QCheckBox* CBItalique;
    QCheckBox* CBSouligne;
    TRadioGroup* RGCommentaire;
    QCheckBox* CBNomFic;
    // "Misc"
    TRadioGroup* RGRotation;
    QCheckBox* CBCouleurs;

    QPushButton* BOk;
    QPushButton* BAnnuler;
    QPushButton* BSauver;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildViewPage();
    QWidget* BuildAdvancedPage();
    QWidget* BuildCommentPage();
    QWidget* BuildMiscPage();

    TSettingsStore& m_store;
    ISettingsEffects& m_effects;
    std::function<bool()> m_isMaximised;
};

inline constexpr const char* kSaveSettingsQuestion =
    "Voulez-vous réellement enregistrer les paramètres ?";
