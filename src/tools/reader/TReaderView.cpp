#include "tools/reader/TReaderView.h"

#include "tools/reader/ReaderStyles.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int kMargin = 16;  // left and right of the text
constexpr int kBleed = 12;   // room around a line for shadows
constexpr int kSmallestInterval = 10;
const QString kStartText = QStringLiteral("<Title1><Center>Quillora2004 ");

Qt::Alignment AlignmentOf(TReaderAlign align) {
    switch (align) {
        case TReaderAlign::Center:
            return Qt::AlignHCenter;
        case TReaderAlign::Right:
            return Qt::AlignRight;
        case TReaderAlign::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

struct TReaderView::TLaidParagraph {
    QTextLayout layout;
    int top = 0;  // in content coordinates
    int height = 0;
    struct TRange {
        int from, length;
        TReaderStyleSpec look;
    };
    std::vector<TRange> ranges;
};

TReaderView::TReaderView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("txtReader"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(200, 120);
    m_lineImages.setMaxCost(48 * 1024 * 1024);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TReaderView::Tick);
    SetDelay(0);
    SetMarkup(kStartText);
}

TReaderView::~TReaderView() = default;

void TReaderView::SetMarkup(const QString& markup) {
    m_paragraphs = ParseReaderMarkup(markup, TReaderFields::Current());
    Relayout();
    Restart();
}

void TReaderView::Restart() {
    m_offset = 0;
    update();
}

void TReaderView::SetActive(bool active) {
    if (active)
        m_timer.start();
    else
        m_timer.stop();
}

void TReaderView::SetStep(int step) { m_step = step < 0 ? -1 : 1; }

void TReaderView::SetDelay(int milliseconds) {
    m_delay = qMax(0, milliseconds);
    m_timer.setInterval(qMax(m_delay, kSmallestInterval));
}

void TReaderView::SetBodyFont(const QFont& font) {
    m_bodyFont = std::make_unique<QFont>(font);
    Relayout();
    update();
}

QFont TReaderView::BodyFont() const { return m_bodyFont ? *m_bodyFont : StyleSpec(TReaderStyle::Text1).font; }

bool TReaderView::PlayedOnce() const { return m_step > 0 ? m_offset >= m_contentHeight : m_offset <= -height(); }

void TReaderView::Tick() {
    if (PlayedOnce())
        return;
    m_offset += m_step;
    scroll(0, -m_step);
    if (PlayedOnce()) {
        SetActive(false);
        emit Completed();
    }
}

void TReaderView::Relayout() {
    m_laid.clear();
    m_lineImages.clear();
    const int lineWidth = qMax(40, width() - 2 * kMargin);
    int top = 0;
    TReaderStyle lastStyle = TReaderStyle::Text1;
    for (const TReaderParagraph& paragraph : m_paragraphs) {
        auto laid = std::make_unique<TLaidParagraph>();
        const TReaderStyle first = paragraph.runs.isEmpty() ? lastStyle : paragraph.runs.first().style;
        laid->layout.setText(paragraph.Text());
        laid->layout.setFont(StyleSpec(first, m_bodyFont.get()).font);
        QList<QTextLayout::FormatRange> formats;
        int from = 0;
        for (const TReaderRun& run : paragraph.runs) {
            const TReaderStyleSpec look = StyleSpec(run.style, m_bodyFont.get());
            QTextCharFormat format;
            format.setFont(look.font);
            formats.append({from, static_cast<int>(run.text.size()), format});
            laid->ranges.push_back({from, static_cast<int>(run.text.size()), look});
            from += static_cast<int>(run.text.size());
            lastStyle = run.style;
        }
        laid->layout.setFormats(formats);
        QTextOption option(AlignmentOf(paragraph.align));
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        laid->layout.setTextOption(option);
        laid->layout.beginLayout();
        qreal y = 0;
        for (QTextLine line = laid->layout.createLine(); line.isValid(); line = laid->layout.createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        laid->layout.endLayout();
        laid->top = top;
        laid->height = qCeil(y) + 4;
        top += laid->height;
        m_laid.push_back(std::move(laid));
    }
    m_contentHeight = top;
}

// One line with its effects, drawn once and kept while memory allows.
QImage TReaderView::LineImage(int paragraph, int line) {
    const quint64 key = (quint64(paragraph) << 32) | quint32(line);
    if (QImage* cached = m_lineImages.object(key))
        return *cached;
    const TLaidParagraph& laid = *m_laid[paragraph];
    const QTextLine textLine = laid.layout.lineAt(line);
    const qreal dpr = devicePixelRatioF();
    auto image = std::make_unique<QImage>(QSize(width(), qCeil(textLine.height()) + 2 * kBleed) * dpr,
                                          QImage::Format_ARGB32_Premultiplied);
    image->setDevicePixelRatio(dpr);
    image->fill(Qt::transparent);
    {
        QPainter painter(image.get());
        const QPointF origin(kMargin, kBleed - textLine.y());
        for (const auto& range : laid.ranges) {
            const int from = qMax(range.from, textLine.textStart());
            const int to = qMin(range.from + range.length, textLine.textStart() + textLine.textLength());
            if (from < to)
                DrawStyledRange(painter, textLine, origin, from, to - from, range.look);
        }
    }
    const QImage copy = *image;
    const qsizetype cost = image->sizeInBytes();
    m_lineImages.insert(key, image.release(), cost);
    return copy;
}

void TReaderView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, QColor(0xFB, 0xF8, 0xEF));
    // The first paragraph reaching into the area, found by halving.
    const int areaTop = area.top() + m_offset - kBleed;
    const auto first = std::partition_point(m_laid.begin(), m_laid.end(),
                                            [&](const auto& laid) { return laid->top + laid->height < areaTop; });
    for (int p = static_cast<int>(first - m_laid.begin()); p < static_cast<int>(m_laid.size()); ++p) {
        const TLaidParagraph& laid = *m_laid[p];
        const int paragraphTop = laid.top - m_offset;
        if (paragraphTop - kBleed > area.bottom())
            break;
        for (int l = 0; l < laid.layout.lineCount(); ++l) {
            const QTextLine line = laid.layout.lineAt(l);
            const int top = paragraphTop + qFloor(line.y()) - kBleed;
            const int bottom = top + qCeil(line.height()) + 2 * kBleed;
            if (bottom >= area.top() && top <= area.bottom())
                painter.drawImage(QPoint(0, top), LineImage(p, l));
        }
    }
}

void TReaderView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}
