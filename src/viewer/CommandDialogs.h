// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The dialogs the image commands of the main window show: image size, save scope, JPEG
// options, About and printing. The program's own are built on first use and kept, so that each
// offers its last choices again; tests install scripted ones.

#include "dialogs/Enreg.h"
#include "dialogs/JPGCompress.h"
#include "dialogs/Redim.h"

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QWidget;
class TAProposForm;
class TBitmap;
class TPrintCommand;

class ICommandDialogs {
public:
    virtual ~ICommandDialogs() = default;
    // The new size and resampling on OK; nothing on Cancel.
    virtual std::optional<TResizeChoice> ImageSize(int width, int height, bool transparent) = 0;
    // Full-screen mode's question: the image alone or the whole screen. Nothing on Cancel.
    virtual std::optional<TSaveScope> SaveScope() = 0;
    // Quality (5..100) and encoding of a JPEG file about to be written; nothing on Cancel.
    virtual std::optional<TJpegChoice> JpegOptions() = 0;
    virtual void About() = 0;
    // The print dialog for the image of filePath, then the job; unit is the `unit` setting.
    virtual void Print(const TBitmap& image, const QString& filePath, int unit) = 0;
    // The print unit changed: the print dialog is built again in it at its next use.
    virtual void PrintUnitChanged(int unit) = 0;
};

class TQtCommandDialogs : public ICommandDialogs {
public:
    // The dialogs are children of owner (the main window).
    explicit TQtCommandDialogs(QWidget* owner);
    ~TQtCommandDialogs() override;

    std::optional<TResizeChoice> ImageSize(int width, int height, bool transparent) override;
    std::optional<TSaveScope> SaveScope() override;
    std::optional<TJpegChoice> JpegOptions() override;
    void About() override;
    void Print(const TBitmap& image, const QString& filePath, int unit) override;
    void PrintUnitChanged(int unit) override;

private:
    QWidget* m_owner;
    QPointer<TRedimForm> m_redim;
    QPointer<TEnregistrerForm> m_scope;
    QPointer<TJPGCompressForm> m_jpeg;
    QPointer<TAProposForm> m_about;
    std::unique_ptr<TPrintCommand> m_print;
};
