// How the shell decides what a name from outside (command line, second start,
// drop) is: the extension is taken from the last "." of the file name on, case
// kept, and tested for ".txt" and ".qdb" as case-sensitive substrings. So
// "a.txt" and "a.txt2" are text files and "NOTES.TXT" is neither.
#pragma once

#include <QString>

// Extension from the last "." of the file name (not of a folder) on; empty
// when the file name has no ".".
QString FileExtension(const QString& path);
bool IsTextFileName(const QString& path);
bool IsLibraryFileName(const QString& path);
