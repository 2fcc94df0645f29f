// TqlvDocData: the registry list of known libraries (key DBCenter) and the
// maintenance of the open library (attributes, description, password,
// compaction, repair).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"
#include "platform/RegistryStore.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QTimeZone>
#include <cmath>

using namespace tableaccess;

namespace {

const QString kDBCenterKey = QStringLiteral("\\SoftWare\\Veltrix\\quilr1.3\\DBCenter");

QString YesNo(bool value) { return value ? QStringLiteral("是") : QStringLiteral("否"); }

QString LevelName(int level) {
    switch (level) {
        case 0:
            return QStringLiteral("最好");
        case 1:
            return QStringLiteral("标准");
        case 2:
            return QStringLiteral("较快");
        case 3:
            return QStringLiteral("最快");
        default:
            return QString();
    }
}

// Days since 1899-12-30 with the time of day as fraction -> local date-time.
QString DateTimeText(double value) {
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    const qint64 ms = static_cast<qint64>(std::llround(value * 86400000.0));
    return QLocale().toString(base.addMSecs(ms), QLocale::ShortFormat);  // the interface language's form
}

}  // namespace

void TqlvDocData::AddToDBCenter(const QString& fileName) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kDBCenterKey, true))
        return;
    reg.WriteString(QFileInfo(fileName).completeBaseName(), fileName);
    reg.CloseKey();
}

QStringList TqlvDocData::GetDBCenterList() {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kDBCenterKey, true))
        return {};
    return reg.GetValueNames();
}

void TqlvDocData::RemoveFromDBCenter(const QString& name) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(kDBCenterKey, true))
        reg.DeleteValue(name);
}

QString TqlvDocData::GetDBCenterPath(const QString& name) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kDBCenterKey, true))
        return {};
    return reg.ReadString(name);
}

void TqlvDocData::GatherDBAttr(tomedb::TTomeDatabase& db, tomedb::TTomeTable& folders, tomedb::TTomeTable& docs,
                               tomedb::TTomeTable& pics, tomedb::TTomeTable& marks, TDBAttr& attr) {
    for (tomedb::TTomeTable* table : {&folders, &docs, &pics, &marks})
        table->SetFiltered(false);  // whole-table counts
    attr.FileName = PathText(db.DatabaseName());
    attr.Size = QString::number(db.FileSize()) + QStringLiteral(" 字节");
    std::string comment;
    attr.Comment = db.GetComments(comment) ? Text(comment) : QString();
    attr.FolderCount = QString::number(folders.RecordCount());
    attr.DocCount = QString::number(docs.RecordCount());
    attr.PicCount = QString::number(pics.RecordCount());
    attr.MarkCount = QString::number(marks.RecordCount());
    attr.FileDate = DateTimeText(db.FileDate());
    attr.Compressed = YesNo(db.CompressBlob());
    attr.CompressLevel = LevelName(db.CompressLevel());
    attr.Encrypted = YesNo(db.Encrypted());
}

void TqlvDocData::GetDocDataAttr(TDBAttr& attr) { GatherDBAttr(TomeDB, Flodertable, Doctable, Pics(), Marks(), attr); }

void TqlvDocData::SetDocDataComment(const QString& comment) { TomeDB.SetComments(Bytes(comment)); }

bool TqlvDocData::IsEncrypted() { return TomeDB.Encrypted(); }

bool TqlvDocData::ChangePassword(const QString& newPassword, bool encrypt) {
    return TomeDB.ChangePassword(PasswordBytes(newPassword), encrypt);
}

bool TqlvDocData::CompressDocData() { return m_opened && TomeDB.Compact(); }

bool TqlvDocData::RepairDocData() { return m_opened && TomeDB.Repair(); }
