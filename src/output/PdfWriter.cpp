// PDF through Qt's PDF writer: a title page, then the sections laid out line
// by line with QTextLayout (Chinese text breaks between any two characters),
// a top-level part or chapter starting a new page, and the page number at the
// foot of every page after the title page. Qt embeds the fonts it draws with
// (as subsets).
#include "output/BookWriters.h"

#include "library/UserError.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace {

constexpr int kResolution = 300;

QFont BookFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies({kBookFontAsian, QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("serif")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Places lines down the pages and numbers the pages.
class TPdfPages {
public:
    TPdfPages(QPdfWriter& pdf, QPainter& painter) : pdf_(pdf), painter_(painter), numberFont_(BookFont(9, false)) {
        const QRectF paint = pdf.pageLayout().paintRectPixels(kResolution);
        width_ = paint.width();
        footer_ = QFontMetricsF(numberFont_, &pdf).height() * 2;
        bodyHeight_ = paint.height() - footer_;
    }

    // Ends the current page (numbered unless it is the title page).
    void NewPage() {
        if (page_ > 0)
            DrawNumber();
        if (!pdf_.newPage())
            throw EUserError(QStringLiteral("无法写入 PDF 书稿。"), QStringLiteral("输出书稿"), 2);
        ++page_;
        y_ = 0;
    }
    void Finish() {
        if (page_ > 0)
            DrawNumber();
    }
    void Skip(qreal height) {
        if (y_ > 0)
            y_ = std::min(y_ + height, bodyHeight_);
    }
    void MoveTo(qreal y) { y_ = y; }
    qreal BodyHeight() const { return bodyHeight_; }

    void Paragraph(const QString& text, const QFont& font, Qt::Alignment align, qreal spaceAfter) {
        QTextLayout layout(text, font, &pdf_);
        QTextOption option(align);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal at = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width_);
            line.setPosition(QPointF(0, at));
            at += line.height() * 1.35;
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            const qreal height = line.height() * 1.35;
            if (y_ + height > bodyHeight_)
                NewPage();
            line.draw(&painter_, QPointF(0, y_ - line.y()));
            y_ += height;
        }
        Skip(spaceAfter);
    }

private:
    void DrawNumber() {
        painter_.setFont(numberFont_);
        painter_.drawText(QRectF(0, bodyHeight_, width_, footer_), Qt::AlignCenter, QString::number(page_));
    }

    QPdfWriter& pdf_;
    QPainter& painter_;
    QFont numberFont_;
    qreal width_ = 0;
    qreal footer_ = 0;
    qreal bodyHeight_ = 0;
    qreal y_ = 0;
    int page_ = 0;  // 0 is the title page, which carries no number
};

}  // namespace

void WritePdf(const TBook& book, QIODevice& device, TBookPage page, const TBookProgress& progress) {
    QPdfWriter pdf(&device);
    pdf.setResolution(kResolution);
    pdf.setPageSize(QPageSize(page == TBookPage::A4 ? QPageSize::A4 : QPageSize::A5));
    pdf.setPageMargins(page == TBookPage::A4 ? QMarginsF(25, 25, 25, 20) : QMarginsF(16, 18, 16, 14),
                       QPageLayout::Millimeter);
    pdf.setTitle(BookTitleText(book));
    pdf.setCreator(QStringLiteral("Quillora"));
    QPainter painter;
    if (!painter.begin(&pdf))
        throw EUserError(QStringLiteral("无法写入 PDF 书稿。"), QStringLiteral("输出书稿"), 2);
    TPdfPages pages(pdf, painter);
    const QFont body = BookFont(page == TBookPage::A4 ? 12 : 10.5, false);
    const qreal gap = QFontMetricsF(body, &pdf).height() * 0.3;
    pages.MoveTo(pages.BodyHeight() / 3);
    pages.Paragraph(BookTitleText(book), BookFont(22, true), Qt::AlignHCenter, gap * 6);
    if (!book.Author.isEmpty())
        pages.Paragraph(book.Author, BookFont(14, false), Qt::AlignHCenter, 0);
    const qint64 total = static_cast<qint64>(book.Sections.size());
    qint64 done = 0;
    bool first = true;
    for (const TBookSection& section : book.Sections) {
        if (first || section.Level == 1)
            pages.NewPage();
        else
            pages.Skip(gap * 4);
        first = false;
        const qreal size = std::max(12.0, 18.0 - 2.0 * (section.Level - 1));
        pages.Paragraph(section.Heading, BookFont(size, true), Qt::AlignHCenter, gap * 3);
        for (const QString& text : section.Paragraphs)
            pages.Paragraph(text, body, Qt::AlignLeft, gap);
        ReportBookProgress(progress, ++done, total);
    }
    pages.Finish();
    painter.end();
}
