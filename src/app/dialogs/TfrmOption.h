// TfrmOption, the "选项" dialog: the preferences in five tabs (稿件库, 编辑器,
// 邮件设置, 路径, 备份); the 稿件库 tab also holds "界面语言". It collects input and hands it back; it writes nothing.
// The caller fills it with SetValues, runs it modally, and on acceptance
// stores Values(). Ticking or unticking chkQDB or chkPop is announced at once
// (QdbAssociationToggled, TxtVerbToggled) because those two take effect
// immediately, even when the dialog is then cancelled.
//
// The four list boxes are pick-only. A stored value missing from its list
// leaves the box without a selection, and Values() then returns the stored
// value unchanged rather than an empty text. The port box shows "25" until a
// non-empty stored port replaces it. The dialog owns its child widgets; the
// public pointers are for the caller and tests to read and drive.
#pragma once

#include "settings/OptionValues.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TDialogService;

class TfrmOption : public QDialog {
    Q_OBJECT
public:
    // inputMethods and fontFamilies fill comboxIME and comboxFontName.
    TfrmOption(TDialogService& dialogs, const QStringList& inputMethods, const QStringList& fontFamilies,
               QWidget* parent = nullptr);

    // Shows the values without announcing the two association boxes.
    void SetValues(const TOptionValues& values);
    TOptionValues Values() const;

    QTabWidget* pageOption = nullptr;
    QCheckBox* chkAutoCompress = nullptr;
    QCheckBox* chkAutoOpen = nullptr;
    QCheckBox* chkQDB = nullptr;
    QCheckBox* chkTXT = nullptr;
    QCheckBox* chkPop = nullptr;
    QCheckBox* chkKeepHistory = nullptr;
    QComboBox* comboxLanguage = nullptr;  // 跟随系统 / 中文 / English, in TInterfaceLanguage order
    QCheckBox* chkIME = nullptr;
    QComboBox* comboxIME = nullptr;
    QCheckBox* chkAutoSave = nullptr;
    QComboBox* comboxAutoSave = nullptr;
    QComboBox* comboxFontName = nullptr;
    QComboBox* comboxFontSize = nullptr;
    QFrame* panelEditorColor = nullptr;
    QPushButton* btnEditorColor = nullptr;
    QSpinBox* spinFullScreenColumn = nullptr;
    QComboBox* comboxTypewriter = nullptr;  // items in TWritingModeScope order
    QComboBox* comboxFocusMode = nullptr;
    QCheckBox* chkParagraphIndent = nullptr;
    QLineEdit* editUserMail = nullptr;
    QLineEdit* editUserName = nullptr;
    QLineEdit* editSever = nullptr;
    QLineEdit* editPort = nullptr;
    QLineEdit* editUser = nullptr;
    QLineEdit* editExportDoc = nullptr;
    QLineEdit* editExportFile = nullptr;
    QLineEdit* editExportPic = nullptr;
    QLineEdit* editSkin = nullptr;
    QCheckBox* chkAutoBackup = nullptr;
    QSpinBox* spinBackupTime = nullptr;
    QLineEdit* editBackupPath = nullptr;
    QSpinBox* spinBackupKeep = nullptr;
    QSpinBox* spinBackupDays = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    void QdbAssociationToggled(bool checked);
    void TxtVerbToggled(bool checked);

public slots:
    void btnOKClick();
    void btnCancelClick();
    void btnEditorColorClick();

private:
    TDialogService& m_dialogs;
    QWidget* BuildLibraryTab();
    QWidget* BuildEditorTab();
    void AddWritingRows(class QGridLayout* grid, int firstRow);
    QWidget* BuildMailTab();
    QWidget* BuildPathTab();
    QWidget* BuildBackupTab();
    QLineEdit* AddPathRow(class QGridLayout* grid, int row, const QString& label, const char* editName,
                          const char* buttonName);
    void PaintSwatch(const QColor& color);
    // A pick-only box's choice; `stored` when nothing is selected.
    static QString Choice(const QComboBox* box, const QString& stored);

    TOptionValues m_stored;  // what SetValues showed
    QColor m_color;
};
