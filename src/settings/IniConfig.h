// TqlvIniConfig: the window layout and skin choice kept in Config.ini in
// AppPath(). Windows-style ini file: [Section] headers and Key=Value lines;
// section and key names compare without regard to letter case. Every read
// reads the file as it is now; every write rewrites it at once, atomically
// (temporary file + rename), creating file and section when missing. Lines the
// parser does not understand are kept as they are. New files are GB18030.
// Nothing is ever reported: a missing or damaged file, section or key, or a
// value that is not an integer, yields the default; a file that cannot be
// written keeps its previous contents (the reason goes to stderr).
#pragma once

#include <QString>
#include <cstdint>

// Main window geometry and the panel sizes, in this order.
struct TWindowLayout {
    int32_t Top = 200;
    int32_t Width = 600;
    int32_t Left = 300;
    int32_t Height = 400;
    int32_t ChanelWidth = 240;
    int32_t SpDoc = 120;
    int32_t SpPic = 120;
    int32_t SPFile = 120;

    bool operator==(const TWindowLayout&) const = default;
};

class TqlvIniConfig {
public:
    // Uses AppPath() + "Config.ini"; reads nothing yet.
    TqlvIniConfig();
    explicit TqlvIniConfig(const QString& fileName);

    const QString& FileName() const { return m_fileName; }

    TWindowLayout ReadLayout() const;
    // Writes Top, Left, Height, Width, ChanelWidth, SpDoc, SpPic, SPFile.
    void WriteLayout(const TWindowLayout& layout);
    // [Skin] g_Style, default 2; returned as stored (the caller checks 0..5).
    int ReadStyle() const;
    // [Skin] g_Theme, default empty.
    QString ReadTheme() const;
    void WriteSkin(int style, const QString& theme);

    // General access used by the operations above.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue = QString()) const;
    bool WriteInteger(const QString& section, const QString& key, int value);
    bool WriteString(const QString& section, const QString& key, const QString& value);

private:
    QString m_fileName;
};
