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
    QLineEdit* CommentEdit() const { return m_editComments; }
    QLineEdit* PositionEdit() const { return m_editPos; }

private:
    QLabel* m_lblDBName = nullptr;
    QLabel* m_lblDBSize = nullptr;
    QLineEdit* m_editComments = nullptr;
    QLineEdit* m_editPos = nullptr;
    QLabel* m_lblFloder = nullptr;
    QLabel* m_lblDoc = nullptr;
    QLabel* m_lblPics = nullptr;
    QLabel* m_lblMark = nullptr;
    QLabel* m_lblDate = nullptr;
    QLabel* m_lblCompressed = nullptr;
    QLabel* m_lblCompressLevel = nullptr;
    QLabel* m_lblEncrept = nullptr;
};
