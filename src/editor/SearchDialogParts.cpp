#include "editor/SearchDialogParts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace searchdialog {

QLineEdit* MakeLineEdit(QWidget* parent, const QString& objectName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(220);
    return edit;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QGroupBox* MakeDirectionGroup(QWidget* parent, QRadioButton** up, QRadioButton** down) {
    auto* group = new QGroupBox(QCoreApplication::translate("SearchDialogParts", "方向"), parent);
    *up = new QRadioButton(QCoreApplication::translate("SearchDialogParts", "向上(&U)"), group);
    (*up)->setObjectName(QStringLiteral("rbUp"));
    *down = new QRadioButton(QCoreApplication::translate("SearchDialogParts", "向下(&D)"), group);
    (*down)->setObjectName(QStringLiteral("rbDown"));
    (*down)->setChecked(true);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(*up);
    layout->addWidget(*down);
    return group;
}

void EnableWhileText(QLineEdit* edit, QPushButton* button) {
    button->setEnabled(!edit->text().isEmpty());
    QObject::connect(edit, &QLineEdit::textChanged, button,
                     [button](const QString& text) { button->setEnabled(!text.isEmpty()); });
}

}  // namespace searchdialog
