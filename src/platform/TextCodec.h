// Text encoding between the application (QString) and what is stored in
// databases and text files (GB18030 bytes, a superset of GBK).
// Decoding never throws: an invalid byte sequence becomes U+FFFD and the rest
// of the input is still decoded.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// QString -> GB18030 bytes and back.
QByteArray ToGB(const QString& text);
QString FromGB(const QByteArray& bytes);
// The bytes a password is hashed and keyed from: its GB18030 form. Every place
// that hands a typed password to the engine (login, create, re-key, the qdb
// tool) goes through this one function, so a file keyed by one of them opens
// with the same password in all the others.
std::string PasswordBytes(const QString& password);
// Byte length of text in GB18030 (the length passed between layers).
int GBLength(const QString& text);
// Length (1, 2 or 4) of the GB18030 character starting at bytes[pos], which
// must be inside bytes. A lead byte without a valid trail counts as one byte,
// so a walk by this length always advances and never splits a valid character.
int GBCharLength(std::string_view bytes, std::size_t pos);
// Cuts GB18030 bytes to at most maxBytes without splitting a character.
QByteArray CutGB(const QByteArray& bytes, int maxBytes);
// Cuts text so that its GB18030 form has at most maxBytes bytes.
QString CutToGBLength(const QString& text, int maxBytes);

// True when bytes are well-formed UTF-8 and hold at least one non-ASCII
// character: the test the text-file rule below applies.
bool IsUtf8Text(std::string_view bytes);
// Reading a text file: a UTF-8 or UTF-16 byte-order mark decides; otherwise
// valid UTF-8 containing non-ASCII bytes is UTF-8; otherwise GB18030.
QString DecodeTextFile(const QByteArray& bytes);
// The same rule for a file to be imported, refusing what is not text:
// without a byte-order mark, NUL bytes that all fall on one side of their
// 16-bit unit (ASCII in UTF-16) make it UTF-16 LE or BE; any other NUL byte,
// or bytes invalid both as UTF-8 and as GB18030, make it not text (nullopt).
std::optional<QString> DecodeImportedText(const QByteArray& bytes);
// A file name's bytes as text by the text rule (UTF-8 when valid, else GB18030).
QString DecodeFileName(const QByteArray& bytes);
// Writing a text file: GB18030 with CR LF line breaks (lone LF and CR become CR LF).
QByteArray EncodeTextFile(const QString& text);
// The text with every lone LF and lone CR made CR LF (the stored line break).
QString WithCrLf(const QString& text);

// File helpers. Both return false and set *error to a user-readable message on failure.
bool ReadTextFile(const QString& path, QString* text, QString* error = nullptr);
// Writes bytes atomically: a temporary file in the same folder, then rename.
// A symbolic link at path is followed: the file it points to is replaced and
// the link stays.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same, but a symbolic link at path is itself replaced by the new file and
// never written through (files written into a folder the user picked).
// The temporary name is path + kTempSuffixLength bytes.
bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error = nullptr);
inline constexpr int kTempSuffixLength = 11;  // ".tmp-XXXXXX"
// WriteFileReplacing for content made in pieces, so that it is never held
// whole: produce hands each piece to the writer it is given, which returns
// false once a piece could not be written (the result is then false, with
// *error set). An exception from produce removes the temporary file and
// propagates; path is left as it was.
using TPieceWriter = std::function<bool(const QByteArray& piece)>;
bool WriteFileReplacingInPieces(const QString& path, const std::function<void(const TPieceWriter&)>& produce,
                                QString* error = nullptr);
// EncodeTextFile for stored text (GB18030 bytes) that arrives in pieces cut
// anywhere: Add returns what can be written so far, Finish the rest; the
// pieces together are EncodeTextFile(FromGB(all bytes)).
class TGbTextFileEncoder {
public:
    QByteArray Add(const char* data, size_t size);
    QByteArray Finish();

private:
    static QByteArray Encode(std::string_view bytes);
    std::string carry_;
};
bool WriteTextFile(const QString& path, const QString& text, QString* error = nullptr);
