// TfrmCreatDocData: the create-library dialog ("新建稿件库"). It collects the
// file name (typed or chosen with "..."), the description, the password when
// "设置稿件库密码" is ticked, the CRC32 option and the compression level, and
// returns them; the caller creates the library. A password and confirmation
// that differ are refused with "两次输入的密码不一致！" and the dialog stays open.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// What the user asked for.
struct TCreateLibraryRequest {
    QString FileName;
    QString Comment;
    QString Password;   // empty unless Encrypt
    bool Encrypt = false;
    bool Crc32 = false;
    int LevelIndex = 2;   // "最快", "较快", "标准", "最好"
};

class TfrmCreatDocData : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCreatDocData(QWidget* parent = nullptr);
    TCreateLibraryRequest Request() const;

public slots:
    void btnOpenClick();
    void btnCreateClick();
    void chkModifyPasClick();

private:
    QLineEdit* editDataBaseName = nullptr;
    QLineEdit* editDataBaseComment = nullptr;
    QCheckBox* chkModifyPas = nullptr;
    QLineEdit* editPas = nullptr;
    QLineEdit* editConfirmPas = nullptr;
    QLabel* lblPas = nullptr;
    QLabel* lblConfirmPas = nullptr;
    QCheckBox* chkCRC = nullptr;
    QComboBox* comboxCompressLevel = nullptr;
};
