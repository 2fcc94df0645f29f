// TQtDialogService: the dialog service on screen, built on Qt widgets. It is
// what InstalledDialogService() returns unless a test installed another service. Every box
// and dialog is modal, drawn in the current skin (ApplyCurrentSkin; message
// boxes in the style passed to them) and destroyed when it closes.
#pragma once

#include "platform/DialogService.h"

class QFileDialog;

class TQtDialogService : public TDialogService {
public:
    int MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) override;
    QString InputPassword() override;
    QString OpenFileName(const TFileDialogRequest& request) override;
    QStringList OpenFileNames(const TFileDialogRequest& request) override;
    QString SaveFileName(const TFileDialogRequest& request) override;
    QString FolderName(const QString& caption, const QString& initialDir) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    int ExecDialog(QDialog& dialog) override;
};

// "描述|*.ext|描述2|*.a;*.b" -> "描述 (*.ext);;描述2 (*.a *.b)". A filter
// without "|" is passed on unchanged; "*.*" becomes "*" (all files, with or
// without an extension); a trailing label without
// patterns is dropped.
QString ConvertFileFilter(const QString& filter);
