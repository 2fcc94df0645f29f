#include "output/BookOutput.h"

TBookSummary OutputBook(TqlvDocData& data, const TBookRequest& request, const TBookProgress& progress) {
    qint64 manuscripts = 0;
    const TBook book = BuildBook(data, request.Scope, request.Title, request.Author, [&](qint64 done, qint64 total) {
        manuscripts = total;
        return !progress || progress(done, 2 * total);
    });
    WriteBookFile(book, request.Path, request.Format, request.Page, [&](qint64 done, qint64 total) {
        const qint64 written = total > 0 ? manuscripts * done / total : manuscripts;
        return !progress || progress(manuscripts + written, 2 * manuscripts);
    });
    TBookSummary summary;
    for (const TBookSection& section : book.Sections)
        ++(section.SectionKind == TBookSection::Kind::Part ? summary.Parts : summary.Chapters);
    return summary;
}
