#include "tools/mail/TZipArchive.h"

#include "library/UserError.h"
#include "tools/mail/ZipLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int kCompressionLevel = 8;

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
    QFile::remove(fileName);
    throw EUserError(QCoreApplication::translate("TZipArchive", "无法写入图片压缩包：%1\n%2").arg(fileName, reason),
                     QCoreApplication::translate("TZipArchive", "发送邮件"), 2);
}

QString UniqueEntryName(const QString& fileName, QSet<QString>& taken) {
    QString name = fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString base = suffix.isEmpty() ? fileName : fileName.chopped(suffix.size());
    for (int n = 2; taken.contains(name); ++n)
        name = base + QStringLiteral(" (%1)").arg(n) + suffix;
    taken.insert(name);
    return name;
}

}  // namespace

QStringList TZipArchive::Pack(const QString& fileName) {
    QStringList packable, missing;
    for (const QString& path : m_files)
        (QFileInfo(path).isFile() && QFileInfo(path).isReadable() ? packable : missing).append(path);
    m_files.clear();
    if (packable.isEmpty())
        return missing;

    const TZipApi* zip = Zip();
    if (!zip)
        Fail(fileName, ZipLoadError());
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    int error = 0;
    zip_t* archive = zip->open(QFile::encodeName(fileName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t ze;
        zip->error_init_with_code(&ze, error);
        const QString reason = QString::fromUtf8(zip->error_strerror(&ze));
        zip->error_fini(&ze);
        Fail(fileName, reason);
    }
    QSet<QString> taken;
    for (const QString& path : packable) {
        zip_source_t* source = zip->source_file(archive, QFile::encodeName(path).constData(), 0, -1);
        const QByteArray entry = UniqueEntryName(QFileInfo(path).fileName(), taken).toUtf8();
        const zip_int64_t index = source ? zip->file_add(archive, entry.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip->source_free(source);
            const QString reason = QString::fromUtf8(zip->strerror(archive));
            zip->discard(archive);
            Fail(fileName, reason);
        }
        zip->set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, kCompressionLevel);
    }
    if (zip->close(archive) != 0) {
        const QString reason = QString::fromUtf8(zip->strerror(archive));
        zip->discard(archive);
        Fail(fileName, reason);
    }
    return missing;
}
