#include "app/dialogs/DialogParts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

QLineEdit* NamedEdit(const char* objectName, const QString& text) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QString::fromLatin1(objectName));
    return edit;
}

QLineEdit* MaskedEdit(const char* objectName) {
    QLineEdit* edit = NamedEdit(objectName);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

void FitToText(QLineEdit* edit) {
    const QFontMetrics metrics = edit->fontMetrics();
    const int wanted = qMax(metrics.horizontalAdvance(edit->text()), metrics.averageCharWidth() * 24) + 16;
    const QScreen* screen = edit->screen() ? edit->screen() : QGuiApplication::primaryScreen();
    const int limit = screen ? screen->availableGeometry().width() * 2 / 3 : wanted;
    edit->setMinimumWidth(qMin(wanted, limit));
}

QLabel* AddRow(QFormLayout* rows, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption);
    label->setBuddy(control);
    QString name = label->text();
    if (name.endsWith(QChar(0xFF1A)) || name.endsWith(QLatin1Char(':')))
        name.chop(1);
    control->setAccessibleName(name);
    rows->addRow(label, control);
    return label;
}

QWidget* BrowseRow(QLineEdit* edit, const char* buttonName, QToolButton** button) {
    *button = new QToolButton;
    (*button)->setObjectName(QString::fromLatin1(buttonName));
    (*button)->setText(QStringLiteral("..."));
    (*button)->setToolTip(QCoreApplication::translate("DialogParts", "浏览"));
    (*button)->setAccessibleName(QCoreApplication::translate("DialogParts", "浏览"));
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(*button);
    return row;
}

QBoxLayout* OkCancelRow(QDialog* dialog, const QString& okCaption, const QString& cancelCaption, QPushButton** okOut) {
    auto* ok = new QPushButton(okCaption);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(cancelCaption);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    if (okOut)
        *okOut = ok;
    return row;
}

QBoxLayout* OkCancelRow(QDialog* dialog, const QString& okCaption, const QString& cancelCaption,
                        const std::function<void()>& onOk) {
    QPushButton* ok = nullptr;
    QBoxLayout* row = OkCancelRow(dialog, okCaption, cancelCaption, &ok);
    QObject::disconnect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
    return row;
}
