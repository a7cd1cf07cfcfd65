// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/CommandDialogs.h"

#include "dialogs/Apropos.h"
#include "print/AnnulImp.h"
#include "print/Impr.h"
#include "print/PageLayout.h"
#include "print/PrintCommand.h"
#include "print/PrintTarget.h"

TQtCommandDialogs::TQtCommandDialogs(QWidget* owner) : m_owner(owner) {}

TQtCommandDialogs::~TQtCommandDialogs() = default;

std::optional<TResizeChoice> TQtCommandDialogs::ImageSize(int width, int height, bool transparent) {
    if (!m_redim) m_redim = new TRedimForm(m_owner);
    return m_redim->Execute(width, height, transparent);
}

std::optional<TSaveScope> TQtCommandDialogs::SaveScope() {
    if (!m_scope) m_scope = new TEnregistrerForm(m_owner);
    return m_scope->Execute();
}

std::optional<TJpegChoice> TQtCommandDialogs::JpegOptions() {
    if (!m_jpeg) m_jpeg = new TJPGCompressForm(m_owner);
    return m_jpeg->Execute();
}

void TQtCommandDialogs::About() {
    if (!m_about) m_about = new TAProposForm(m_owner);
    m_about->Execute();
}

void TQtCommandDialogs::Print(const TBitmap& image, const QString& filePath, int unit) {
    if (!m_print) m_print = std::make_unique<TPrintCommand>();
    m_print->Run(m_owner, image, filePath, PageUnitFromSetting(unit));
}

void TQtCommandDialogs::PrintUnitChanged(int unit) {
    if (m_print) m_print->SetUnit(PageUnitFromSetting(unit));
}
