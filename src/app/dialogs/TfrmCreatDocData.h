// TfrmCreatDocData: the create-library dialog ("新建稿件库"). It collects the
// file name (typed or chosen with "..."), the description, the password when
// "设置稿件库密码" is ticked, the CRC32 option and the compression level, and
// returns them; the caller creates the library. A name that is not absolute
// lies in the user's documents folder (XDG_DOCUMENTS_DIR); the dialog shows
// the full path as it is typed. An empty name, and a password and
// confirmation that differ, are refused with a message and the dialog stays open.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class TDialogService;

// What the user asked for.
struct TCreateLibraryRequest {
    QString FileName;
    QString Comment;
    QString Password;  // empty unless Encrypt
    bool Encrypt = false;
    bool Crc32 = false;
    int LevelIndex = 2;  // "最快", "较快", "标准", "最好"
};

class TfrmCreatDocData : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCreatDocData(TDialogService& dialogs, QWidget* parent = nullptr);
    TCreateLibraryRequest Request() const;
    // The user's documents folder, where a relative name is created.
    static QString DocumentsFolder();

public slots:
    void btnOpenClick();
    void btnCreateClick();
    void chkModifyPasClick();

private:
    TDialogService& m_dialogs;
    QString FullName() const;
    QLineEdit* m_editDataBaseName = nullptr;
    QLabel* m_lblFullPath = nullptr;
    QLineEdit* m_editDataBaseComment = nullptr;
    QCheckBox* m_chkModifyPas = nullptr;
    QLineEdit* m_editPas = nullptr;
    QLineEdit* m_editConfirmPas = nullptr;
    QLabel* m_lblPas = nullptr;
    QLabel* m_lblConfirmPas = nullptr;
    QCheckBox* m_chkCRC = nullptr;
    QComboBox* m_comboxCompressLevel = nullptr;
};
