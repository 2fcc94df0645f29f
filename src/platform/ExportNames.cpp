#include "platform/ExportNames.h"

#include <unistd.h>
#include <QFile>

#include "platform/TextCodec.h"

namespace {

constexpr int kDefaultNameLimit = 255;

int FolderNameLimit(const QString& folder) {
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<int>(limit) : kDefaultNameLimit;
}

// Bytes the name takes in the file system.
int NameBytes(const QString& name) { return static_cast<int>(QFile::encodeName(name).size()); }

QString Sanitised(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    return name;
}

}  // namespace

TExportNames::TExportNames(const QString& folder, const QString& extension)
    : folder_(folder), extension_(extension), nameLimit_(FolderNameLimit(folder)) {}

// The longest start of base, ending on a whole character, whose file name
// (with suffixBytes more, the extension and the temporary suffix) fits.
QString TExportNames::BaseWithin(const QString& base, int suffixBytes) const {
    const int budget = nameLimit_ - suffixBytes - NameBytes(extension_) - kTempSuffixLength;
    if (NameBytes(base) <= budget)
        return base;
    int used = 0;
    qsizetype end = 0;
    while (end < base.size()) {
        const qsizetype length = base[end].isHighSurrogate() && end + 1 < base.size() ? 2 : 1;
        const int bytes = NameBytes(base.mid(end, length));
        if (used + bytes > budget)
            break;
        used += bytes;
        end += length;
    }
    return base.left(end);
}

std::optional<QString> TExportNames::PathFor(const QString& name) {
    const QString base = Sanitised(name);
    QString fileName = BaseWithin(base, 0) + extension_;
    for (int n = 2; taken_.contains(fileName); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        fileName = BaseWithin(base, NameBytes(suffix)) + suffix + extension_;
    }
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return std::nullopt;
    taken_.insert(fileName);
    return folder_.absoluteFilePath(fileName);
}
