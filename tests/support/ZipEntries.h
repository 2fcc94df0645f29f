// Reads a whole zip archive back for tests: entry name -> bytes, and each
// entry's compression method when asked. Empty when the archive cannot be
// opened. Header only; the test links libzip.
#pragma once

#include <zip.h>
#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>

inline QMap<QString, QByteArray> ZipEntries(const QString& path, QMap<QString, int>* methods = nullptr) {
    QMap<QString, QByteArray> entries;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    if (!archive)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(archive, zip_uint64_t(i), 0, &st);
        QByteArray bytes(qsizetype(st.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, bytes.data(), st.size);
        zip_fclose(file);
        const QString name = QString::fromUtf8(st.name);
        entries.insert(name, bytes);
        if (methods)
            methods->insert(name, st.comp_method);
    }
    zip_close(archive);
    return entries;
}
