#include "app/dialogs/TfrmProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TfrmProgress::TfrmProgress(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_lblProgress = new QLabel(text);
    m_lblProgress->setObjectName(QStringLiteral("lblProgress"));
    m_pbProgress = new QProgressBar;
    m_pbProgress->setObjectName(QStringLiteral("pbProgress"));
    m_pbProgress->setRange(0, 100);
    m_pbProgress->setValue(0);
    m_pbProgress->setAccessibleName(text);
    m_lblProgress->setBuddy(m_pbProgress);
    m_pbProgress->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblProgress);
    layout->addWidget(m_pbProgress);
}

void TfrmProgress::SetPercent(int percent) { m_pbProgress->setValue(qBound(0, percent, 100)); }

int TfrmProgress::Percent() const { return m_pbProgress->value(); }

void TfrmProgress::reject() {}

void TfrmProgress::closeEvent(QCloseEvent* event) { event->ignore(); }
