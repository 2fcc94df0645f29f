// OutputBook: the whole of one book build, as the "输出书稿" dialog and
// qdb build run it: read the chosen manuscripts from the open library
// (BuildBook) and write the file (WriteBookFile), with one progress over both
// steps: total is twice the number of manuscripts, the first half reading,
// the second writing.
//
// Failures raise EUserError with the message to show; the progress callback
// returning false raises EBookCancelled. Either way no file is left under
// request.Path (an existing file there stays as it was). Engine errors pass
// through. Runs in the caller's thread.
#pragma once

#include "output/BookFile.h"
#include "output/BookSource.h"

struct TBookRequest {
    TBookScope Scope;
    QString Title;
    QString Author;
    QString Path;
    TBookFormat Format = TBookFormat::Epub;
    TBookPage Page = TBookPage::A5;
};

// What a finished build holds, for a status line.
struct TBookSummary {
    int Parts = 0;
    int Chapters = 0;
};

TBookSummary OutputBook(TqlvDocData& data, const TBookRequest& request, const TBookProgress& progress = {});
