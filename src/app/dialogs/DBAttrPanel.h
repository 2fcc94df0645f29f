// TDBAttrPanel: the rows that show one library's attributes (TDBAttr) — name,
// size, description, position, the four counts, date, compression and
// encryption — shared by the library attributes dialog and the library
// centre. The description box is editable only where the caller allows it;
// the position box is always read-only. Nothing here can fail.
#pragma once

#include "library/DocDataTypes.h"

#include <QWidget>

class QLabel;
class QLineEdit;

class TDBAttrPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDBAttrPanel(bool commentEditable, QWidget* parent = nullptr);
    void Show(const TDBAttr& attr);
    // Every text emptied (a library whose attributes are not known).
    void Clear();
    QString Comment() const;
    QLineEdit* CommentEdit() const { return editComments; }
    QLineEdit* PositionEdit() const { return editPos; }

private:
    QLabel* lblDBName = nullptr;
    QLabel* lblDBSize = nullptr;
    QLineEdit* editComments = nullptr;
    QLineEdit* editPos = nullptr;
    QLabel* lblFloder = nullptr;
    QLabel* lblDoc = nullptr;
    QLabel* lblPics = nullptr;
    QLabel* lblMark = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblCompressed = nullptr;
    QLabel* lblCompressLevel = nullptr;
    QLabel* lblEncrept = nullptr;
};
