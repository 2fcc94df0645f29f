// TReaderView (`txtReader`): shows the reader's markup (ReaderMarkup.h) in its
// styles (ReaderStyles.h), word-wrapped to the view's width, and scrolls it one
// pixel per tick while active: a step of 1 moves the text up, -1 down, with
// Delay() milliseconds between ticks (a delay of 0 ticks every 10 ms, as fast
// as a delay of 10). The text starts with its first line at the top; it has
// been played once when it has left the view (at the top going up, at the
// bottom going down): the view then stops and emits Completed.
//
// Lines are drawn once into cached images and moved by scrolling the widget,
// so each tick repaints only the uncovered row of pixels.
#pragma once

#include "tools/reader/ReaderMarkup.h"

#include <QCache>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QTextLayout;

class TReaderView : public QWidget {
    Q_OBJECT
public:
    explicit TReaderView(QWidget* parent = nullptr);
    ~TReaderView() override;

    // Replaces the text as one change and restarts it from the beginning.
    void SetMarkup(const QString& markup);
    const QList<TReaderParagraph>& Paragraphs() const { return m_paragraphs; }
    void Restart();

    void SetActive(bool active);
    bool Active() const { return m_timer.isActive(); }
    void SetStep(int step);
    int Step() const { return m_step; }
    void SetDelay(int milliseconds);
    int Delay() const { return m_delay; }
    int TimerInterval() const { return m_timer.interval(); }
    // How far the text has moved up from its start, in pixels.
    int Offset() const { return m_offset; }
    int ContentHeight() const { return m_contentHeight; }

    void SetBodyFont(const QFont& font);
    QFont BodyFont() const;

    // Moves the text one step; the timer calls it while active.
    void Tick();

signals:
    void Completed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TLaidParagraph;
    void Relayout();
    QImage LineImage(int paragraph, int line);
    bool PlayedOnce() const;

    QList<TReaderParagraph> m_paragraphs;
    std::vector<std::unique_ptr<TLaidParagraph>> m_laid;
    QCache<quint64, QImage> m_lineImages;
    std::unique_ptr<QFont> m_bodyFont;
    QTimer m_timer;
    int m_step = 1;
    int m_delay = 0;
    int m_offset = 0;
    int m_contentHeight = 0;
};
