// Builders shared by the find and replace dialogs: the option check boxes and
// the direction group, named as the dialogs' controls are named. Internal to
// the editor.
#pragma once

#include <QString>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace searchdialog {

QLineEdit* MakeLineEdit(QWidget* parent, const QString& objectName);
QCheckBox* MakeCheckBox(QWidget* parent, const QString& objectName, const QString& caption);
QPushButton* MakeButton(QWidget* parent, const QString& objectName, const QString& caption);
// The "方向" group with "向上(&U)" and "向下(&D)" (Down checked).
QGroupBox* MakeDirectionGroup(QWidget* parent, QRadioButton** up, QRadioButton** down);
// Enables the buttons that need a search text only while there is one.
void EnableWhileText(QLineEdit* edit, QPushButton* button);

}  // namespace searchdialog
