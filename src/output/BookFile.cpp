#include "output/BookFile.h"

#include "library/UserError.h"
#include "output/BookWriters.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <array>
#include <utility>

namespace {

const QString kCaption = QStringLiteral("输出书稿");

const std::array<std::pair<const char*, TBookFormat>, 8>& Extensions() {
    static const std::array<std::pair<const char*, TBookFormat>, 8> table = {{
        {".docx", TBookFormat::Docx},
        {".odt", TBookFormat::Odt},
        {".epub", TBookFormat::Epub},
        {".pdf", TBookFormat::Pdf},
        {".html", TBookFormat::Html},
        {".htm", TBookFormat::Html},
        {".md", TBookFormat::Markdown},
        {".txt", TBookFormat::Text},
    }};
    return table;
}

void WriteFormat(const TBook& book, QIODevice& device, TBookFormat format, TBookPage page,
                 const TBookProgress& progress) {
    switch (format) {
        case TBookFormat::Docx:
            WriteDocx(book, device, progress);
            break;
        case TBookFormat::Odt:
            WriteOdt(book, device, progress);
            break;
        case TBookFormat::Epub:
            WriteEpub(book, device, progress);
            break;
        case TBookFormat::Pdf:
            WritePdf(book, device, page, progress);
            break;
        case TBookFormat::Html:
            WriteHtml(book, device, progress);
            break;
        case TBookFormat::Markdown:
            WriteMarkdown(book, device, progress);
            break;
        case TBookFormat::Text:
            WriteText(book, device, progress);
            break;
    }
}

}  // namespace

std::optional<TBookFormat> BookFormatOfPath(const QString& path) {
    const QString suffix = QLatin1Char('.') + QFileInfo(path).suffix().toLower();
    for (const auto& [extension, format] : Extensions())
        if (suffix == QLatin1String(extension))
            return format;
    return std::nullopt;
}

QString BookFormatExtension(TBookFormat format) {
    for (const auto& [extension, known] : Extensions())
        if (known == format)
            return QLatin1String(extension);
    return {};
}

QStringList BookFormatExtensions() {
    QStringList list;
    for (const auto& entry : Extensions())
        list << QLatin1String(entry.first);
    return list;
}

QString UnknownBookFormatText(const QString& path) {
    return QStringLiteral("无法识别“%1”的书稿格式，文件名须以 %2 结尾。")
        .arg(QFileInfo(path).fileName(), BookFormatExtensions().join(QStringLiteral("、")));
}

void WriteBookFile(const TBook& book, const QString& path, TBookFormat format, TBookPage page,
                   const TBookProgress& progress) {
    if (format == TBookFormat::Pdf && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EUserError(QStringLiteral("输出 PDF 需要图形环境。"), kCaption, 2);
    const QString target = QFileInfo(path).absoluteFilePath();
    if (QFileInfo(target).isDir())
        throw EUserError(QStringLiteral("“%1”是一个文件夹。").arg(target), kCaption, 2);
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    if (!QFileInfo(folder).isDir())
        throw EUserError(QStringLiteral("无法在“%1”中创建书稿：文件夹不存在。").arg(folder), kCaption, 2);
    QSaveFile file(target);
    file.setDirectWriteFallback(false);  // never write over the chosen name in place
    if (!file.open(QIODevice::WriteOnly))
        throw EUserError(QStringLiteral("无法在“%1”中创建书稿：%2").arg(folder, file.errorString()), kCaption, 2);
    // On an exception the QSaveFile is destroyed uncommitted: its temporary
    // file goes and the chosen name is untouched.
    WriteFormat(book, file, format, page, progress);
    if (!file.commit())
        throw EUserError(QStringLiteral("无法写入书稿“%1”：%2").arg(target, file.errorString()), kCaption, 2);
}
