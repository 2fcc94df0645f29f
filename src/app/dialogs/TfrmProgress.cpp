#include "app/dialogs/TfrmProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TfrmProgress::TfrmProgress(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    lblProgress = new QLabel(text);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    pbProgress = new QProgressBar;
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    pbProgress->setAccessibleName(text);
    lblProgress->setBuddy(pbProgress);
    pbProgress->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(pbProgress);
}

void TfrmProgress::SetPercent(int percent) { pbProgress->setValue(qBound(0, percent, 100)); }

int TfrmProgress::Percent() const { return pbProgress->value(); }

void TfrmProgress::reject() {}

void TfrmProgress::closeEvent(QCloseEvent* event) { event->ignore(); }
