#include "app/OpenRules.h"

QString FileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot < 0 || dot < slash)
        return {};
    return path.mid(dot);
}

bool IsTextFileName(const QString& path) {
    return FileExtension(path).contains(QLatin1String(".txt"), Qt::CaseSensitive);
}

bool IsLibraryFileName(const QString& path) {
    return FileExtension(path).contains(QLatin1String(".qdb"), Qt::CaseSensitive);
}
