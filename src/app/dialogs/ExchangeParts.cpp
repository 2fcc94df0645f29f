#include "app/dialogs/ExchangeParts.h"

#include "platform/ErrorText.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace exchange {

bool IsLibraryTree(const QTreeWidget* tree) {
    const QTreeWidgetItem* root = tree ? tree->topLevelItem(0) : nullptr;
    const QString library = QString::fromUtf16(kLibraryRoot);
    return root && (root->text(0) == library || root->text(0) == TranslatedText(library));
}

QString NameList(const QStringList& names, int shown) {
    QString list = names.mid(0, shown).join(QStringLiteral("，"));
    if (names.size() > shown)
        list += QCoreApplication::translate("ExchangeParts", " 等 %1 个").arg(names.size());
    return list;
}

QString FailureLines(const QString& heading, const QStringList& failures) {
    constexpr int kShown = 10;
    if (failures.isEmpty())
        return QString();
    QString text = QLatin1Char('\n') + heading + QLatin1Char('\n') + failures.mid(0, kShown).join(QLatin1Char('\n'));
    if (failures.size() > kShown)
        text += QStringLiteral("\n……");
    return text;
}

}  // namespace exchange

TExchangeProgress::TExchangeProgress(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("progressRow"));
    m_lblProgress = new QLabel(this);
    m_lblProgress->setObjectName(QStringLiteral("lblProgress"));
    m_pbProgress = new QProgressBar(this);
    m_pbProgress->setObjectName(QStringLiteral("pbProgress"));
    m_pbProgress->setAccessibleName(tr("进度"));
    m_btnStop = new QPushButton(tr("取消"), this);
    m_btnStop->setObjectName(QStringLiteral("btnStop"));
    connect(m_btnStop, &QPushButton::clicked, this, &TExchangeProgress::Cancel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_lblProgress, 1);
    row->addWidget(m_pbProgress, 2);
    row->addWidget(m_btnStop);
    hide();
}

void TExchangeProgress::Start(int total) {
    m_total = total;
    m_running = true;
    m_cancelled = false;
    m_pbProgress->setRange(0, qMax(1, total));
    m_pbProgress->setValue(0);
    show();
}

bool TExchangeProgress::Step(int done, const QString& name) {
    m_pbProgress->setValue(done);
    m_lblProgress->setText(name);
    emit Stepped(done, m_total);
    // Between files the window repaints and a click on Cancel gets through.
    QApplication::processEvents();
    return !m_cancelled;
}

void TExchangeProgress::Finish() {
    m_pbProgress->setValue(m_pbProgress->maximum());
    m_running = false;
    hide();
}
