// Loading, saving and inserting files, and printing.
#include "editor/TqlvEditor.h"

#include "editor/EditorText.h"
#include "editor/RtfText.h"
#include "platform/DialogService.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

namespace {

const QString kNewManuscriptName = QStringLiteral("新建稿件");

QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EEditorError(
            QCoreApplication::translate("EditorFiles", "无法打开文件 \"%1\"：%2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EEditorError(
            QCoreApplication::translate("EditorFiles", "无法读取文件 \"%1\"：%2").arg(path, file.errorString()));
    return bytes;
}

bool IsPlainTextPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

bool IsRtfPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0;
}

// "txt" is plain text; "rtf" must be RTF; anything else is RTF when it is
// one and plain text otherwise.
QString DecodeByExtension(const QString& path, const QByteArray& bytes) {
    if (IsPlainTextPath(path))
        return DecodeTextFile(bytes);
    if (std::optional<QString> rich = ReadRtfText(bytes))
        return *rich;
    if (IsRtfPath(path))
        throw EEditorError(QStringLiteral("Failed to Load Stream"));
    return DecodeTextFile(bytes);
}

}  // namespace

void TqlvEditor::LoadFromFile(const QString& path) {
    if (path.isEmpty()) {
        m_control->clear();
        m_fileName = kNewManuscriptName;
    } else {
        // Decode first: a file that cannot be read leaves the text as it was.
        const QString text = DecodeByExtension(path, ReadFileBytes(path));
        m_control->setPlainText(text);
        m_fileName = path;
        SelectRange(0, 0);
    }
    SetModified(false);
}

void TqlvEditor::AppendFile(const QString& path) {
    const QString text = DecodeByExtension(path, ReadFileBytes(path));
    QTextCursor cursor(m_control->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!m_control->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
}

void TqlvEditor::SaveToFile(const QString& path) {
    const QByteArray bytes =
        IsPlainTextPath(path) ? EncodeTextFile(GetText()) : WriteRtfText(GetText(), m_control->font());
    QString error;
    if (!WriteFileAtomic(path, bytes, &error))
        throw EEditorError(error.isEmpty() ? QStringLiteral("Failed to Save Stream") : error);
    SetModified(false);
}

void TqlvEditor::InsertFile(const QString& path) {
    const QStringList lines = editortext::SplitLines(DecodeTextFile(ReadFileBytes(path)));
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    InsertText(text);
}

int TqlvEditor::TextLength() const { return GBLength(GetText()); }

void TqlvEditor::SetPrintOutputFile(const QString& pdfPath) { m_printOutputFile = pdfPath; }

bool TqlvEditor::HasDefaultPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

void TqlvEditor::PrintToPdf(const QString& pdfPath) {
    const QString kept = m_printOutputFile;
    m_printOutputFile = pdfPath;
    try {
        Print();
    } catch (...) {
        m_printOutputFile = kept;
        throw;
    }
    m_printOutputFile = kept;
}

void TqlvEditor::Print() {
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printOutputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_printOutputFile);
    } else {
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull())
            throw EEditorError(tr("没有安装默认打印机，无法打印。"));
        printer.setPrinterName(defaultPrinter.printerName());
    }
    printer.setDocName(m_fileName.isEmpty() ? kNewManuscriptName : m_fileName);
    if (m_pageLayout)
        printer.setPageLayout(*m_pageLayout);
    PrintTo(printer);
}

void TqlvEditor::PrinterSetup() {
    QPrinter printer(QPrinter::HighResolution);
    if (m_pageLayout)
        printer.setPageLayout(*m_pageLayout);
    QPageSetupDialog dialog(&printer, m_control);
    if (InstalledDialogService().ExecDialog(dialog) == QDialog::Accepted)
        m_pageLayout = printer.pageLayout();
}

namespace {

// The printed lines of one text line: the whole line when it fits the page
// width, else as many page-wide pieces as it takes.
QStringList PrintedLines(const QString& line, const QFont& font, QPaintDevice* device, int width) {
    QStringList pieces;
    QTextLayout layout(line, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
        piece.setLineWidth(width);
        pieces << line.mid(piece.textStart(), piece.textLength());
    }
    layout.endLayout();
    if (pieces.isEmpty())
        pieces << QString();
    return pieces;
}

}  // namespace

void TqlvEditor::PrintTo(QPrinter& printer) {
    const QStringList lines = GetText().split(QStringLiteral("\r\n"));
    QPainter painter;
    if (!painter.begin(&printer))
        throw EEditorError(QStringLiteral("I/O error: the printer cannot be opened"));
    const QFont font(m_control->font(), &printer);
    painter.setFont(font);
    painter.setPen(m_control->palette().color(QPalette::Text));
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int pageWidth = printer.width();
    const int pageHeight = printer.height();
    int y = 0;
    // Every text line starts a printed line; a line wider than the page goes
    // on over further printed lines instead of being cut at the margin. A new
    // page starts when the next printed line does not fit.
    for (const QString& line : lines) {
        for (const QString& piece : PrintedLines(line, font, &printer, pageWidth)) {
            if (y > 0 && y + lineHeight > pageHeight) {
                printer.newPage();
                y = 0;
            }
            painter.drawText(QRect(0, y, pageWidth, lineHeight),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs, piece);
            y += lineHeight;
        }
    }
    painter.end();
}
