// TfrmDBCenter: the library centre ("稿件库中心"). It lists the libraries of
// the registry list (dropping, without a word, entries whose file is gone),
// shows the attributes of the selected one, and lets the user open, add,
// remove or create libraries. Accepted means "open FileName()".
//
// The attributes of the open library come from the data layer; those of any
// other library are read by the centre's own TLibraryReader, which asks for
// the password of an encrypted library through the engine's login step. The
// reader is connected only while such a library is selected: it is closed
// when the selection changes and when the centre closes. A library that cannot be read (damaged, a wrong password) is
// reported in a box and leaves the attributes empty.
//
// The centre changes the registry list itself (add, remove, forget files that
// are gone); creating a library is its caller's (OnCreate).
#pragma once

#include "library/LibraryReader.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class TDBAttrPanel;
class TDialogService;
class TqlvDocData;

class TfrmDBCenter : public QDialog {
    Q_OBJECT
public:
    // openPath: the library open in the main window (empty when none).
    TfrmDBCenter(TDialogService& dialogs, TqlvDocData& data, const QString& openPath, QWidget* parent = nullptr);
    ~TfrmDBCenter() override;

    // The library to open once the centre was accepted.
    QString FileName() const { return m_fileName; }
    // The create-library dialog and its work: true with *fileName the new
    // library (the main window's library is closed by then).
    std::function<bool(QString*)> OnCreate;
    // A password the application already knows for the library at path
    // (asked for nothing when it opens the library); may be empty.
    std::function<std::optional<QString>(const QString&)> KnownPassword;
    // The password that opened the library at path while the centre read it.
    std::optional<QString> PasswordOf(const QString& path) const {
        return m_passwords.contains(path) ? std::optional<QString>(m_passwords.value(path)) : std::nullopt;
    }
    // True while the centre's own database is connected.
    bool OwnDatabaseConnected() const;

    void FillList();

public slots:
    void btnCreateClick();
    void btnOpenClick();
    void btnAddClick();
    void btnDelClick();
    void tbnCancelClick();
    void lvDBSelectionChanged();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDialogService& m_dialogs;
    void ShowAttributes(const QString& path);
    void CloseOwnDatabase();
    QListWidgetItem* SelectedItem() const;
    bool IsOpenLibrary(const QString& path) const;

    TqlvDocData& m_data;
    QHash<QString, QString> m_passwords;  // encrypted libraries read, by path
    QString m_openPath;
    QString m_fileName;
    QListWidget* m_lvDB = nullptr;
    TDBAttrPanel* m_attributes = nullptr;
    QPushButton* m_btnOpen = nullptr;
    QPushButton* m_btnDel = nullptr;

    TLibraryReader m_reader;  // attributes of a library that is not open
};
