// TfrmDBAttribute: the library attributes dialog ("稿件库属性") with its
// pages "属性" (the attributes of the open library; the description can be
// edited), "工具" (password, desktop launcher, compaction, repair) and "目标"
// (the library's writing goal, GoalBox(); the caller fills and stores it).
//
// The dialog changes nothing itself. Its caller fills it (Fill), hands it the
// maintenance actions the tool buttons run at once (compaction, repair,
// launcher) and the step that stores the description, which "确定" runs
// before it looks at the passwords. After the dialog was accepted,
// PasswordChange() says whether and how the library is to be re-keyed.
//
// "确定" with a password and confirmation that differ shows
// "两次输入的密码不一致！" and keeps the dialog open, as does a changed goal
// that is refused (checked first, before anything is stored). Both boxes empty with
// "修改密码" as it was shown means "leave the password alone".
#pragma once

#include "library/DocDataTypes.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class TDBAttrPanel;
class TDialogService;
class TGoalBox;

// A password change the user asked for.
struct TPasswordChange {
    QString Password;
    bool Encrypt = false;
};

class TfrmDBAttribute : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDBAttribute(TDialogService& dialogs, QWidget* parent = nullptr);

    // The attributes, and whether the library is encrypted ("修改密码" ticked).
    void Fill(const TDBAttr& attr, bool encrypted);
    // Refreshes the attributes page only (after a compaction, say).
    void ShowAttributes(const TDBAttr& attr);
    void ShowToolsPage();
    int CurrentPage() const;
    QString Comment() const;
    std::optional<TPasswordChange> PasswordChange() const;
    TGoalBox* GoalBox() const { return m_goalBox; }

    // Actions of the tool buttons and the description step of "确定".
    std::function<void()> OnShortcut;
    std::function<void()> OnCompress;
    std::function<void()> OnRepair;
    std::function<void(const QString&)> OnStoreComment;

public slots:
    void btnOKClick();
    void chkDBPasClick();

private:
    TDialogService& m_dialogs;
    QWidget* BuildToolsPage();

    QTabWidget* m_pcAttribute = nullptr;
    TDBAttrPanel* m_attributes = nullptr;
    TGoalBox* m_goalBox = nullptr;
    QCheckBox* m_chkDBPas = nullptr;
    QLineEdit* m_editDBPas = nullptr;
    QLineEdit* m_editDBConfirm = nullptr;
    QLabel* m_lblPas = nullptr;
    QLabel* m_lblConfirm = nullptr;
    bool m_encryptedWhenShown = false;
};
