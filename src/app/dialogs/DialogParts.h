// Small builders the application's dialogs share: named edit boxes, form rows
// whose label is the control's buddy (so the control's accessible name is the
// label's caption), and the OK / Cancel row.
#pragma once

#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

QLineEdit* NamedEdit(const char* objectName, const QString& text = QString());
QLineEdit* MaskedEdit(const char* objectName);
// Widens edit so its whole text shows (at least about 24 characters), up to
// two thirds of the screen; the dialog's layout then grows to hold it.
void FitToText(QLineEdit* edit);
// Adds "caption" and control as one row; the label is the control's buddy and
// its caption the control's accessible name. Returns the label.
QLabel* AddRow(QFormLayout* rows, const QString& caption, QWidget* control);
// edit with a "..." button after it (tool tip and accessible name "浏览",
// objectName buttonName), as one widget for a form row; *button is the button.
QWidget* BrowseRow(QLineEdit* edit, const char* buttonName, QToolButton** button);
// A right-aligned row of an OK button (btnOK, default) and a Cancel button
// (btnCancel) wired to accept and reject. Captions as given.
QBoxLayout* OkCancelRow(QDialog* dialog, const QString& okCaption, const QString& cancelCaption,
                        QPushButton** ok = nullptr);
// The same row whose OK button runs onOk instead, which accepts the dialog
// itself when the input passes its checks.
QBoxLayout* OkCancelRow(QDialog* dialog, const QString& okCaption, const QString& cancelCaption,
                        const std::function<void()>& onOk);
