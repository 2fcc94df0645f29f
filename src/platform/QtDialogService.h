// TQtDialogService: the dialog service on screen, built on Qt widgets. The one
// instance, DefaultDialogService(), is what InstalledDialogService() returns
// unless a test installed another service. Every box and dialog is modal,
// drawn in the skin given to DrawIn (message boxes in the style passed to them,
// with the skin's theme file) and destroyed when it closes. The skin is not
// owned: its owner hands it over when made and takes it back (DrawIn(nullptr))
// before it goes.
#pragma once

#include "platform/DialogService.h"

class TQtDialogService : public TDialogService {
public:
    void DrawIn(const TSkin* skin) { m_skin = skin; }
    const TSkin* Skin() const override { return m_skin; }

    int MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) override;
    QString InputPassword() override;
    QString OpenFileName(const TFileDialogRequest& request) override;
    QStringList OpenFileNames(const TFileDialogRequest& request) override;
    QString SaveFileName(const TFileDialogRequest& request) override;
    QString FolderName(const QString& caption, const QString& initialDir) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    int ExecDialog(QDialog& dialog) override;

private:
    const TSkin* m_skin = nullptr;
};

// The Qt service, drawn in no skin until its owner's context gives it one.
TQtDialogService& DefaultDialogService();

// "描述|*.ext|描述2|*.a;*.b" -> "描述 (*.ext);;描述2 (*.a *.b)". A filter
// without "|" is passed on unchanged; "*.*" becomes "*" (all files, with or
// without an extension); a trailing label without
// patterns is dropped.
QString ConvertFileFilter(const QString& filter);
