// The application's two icons, built into the program as resources: the
// window and launcher icon ("quillora") and the icon of library files
// ("application-x-quillora-library"). Both are SVG; drawing them needs Qt's
// SVG image plugin at run time (without it a QIcon comes out empty, nothing
// fails). The theme names are what .desktop files and the MIME package refer to.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

inline constexpr char kAppIconName[] = "quillora";
inline constexpr char kLibraryMimeType[] = "application/x-quillora-library";
inline constexpr char kLibraryIconName[] = "application-x-quillora-library";

// Resource paths (":/icons/...svg") of the two icons.
QString AppIconResource();
QString LibraryIconResource();
// The SVG text of an icon resource; empty when the resource is missing.
QByteArray IconSvg(const QString& resource);
// The application icon for windows; needs a QGuiApplication.
QIcon ApplicationIcon();
