// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The folder-choice dialog of "Move image to..." and "Copy image to...": a question, a
// read-only folder field with a button that opens the folder browser, "Ok" and "Cancel".

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TDirForm : public QDialog {
    Q_OBJECT
public:
    // browse: the folder browser, given its title and the folder to start in; returns the
    // folder chosen, or empty.
    using TBrowse = std::function<QString(const QString& title, const QString& folder)>;
    TDirForm(QWidget* parent, TBrowse browse);

    // The folder on "Ok", empty on "Cancel" or when closed.
    QString Execute(const QString& caption, const QString& message, const QString& folder);
    void BDossierClick();

    QLabel* ImgQuestion;
    QLabel* LblMessage;
    QLineEdit* EdiDossier;
    QPushButton* BDossier;
    QPushButton* BOk;
    QPushButton* BAnnuler;

private:
    TBrowse m_browse;
};
