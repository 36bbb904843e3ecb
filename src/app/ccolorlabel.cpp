#include "app/ccolorlabel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

CColorLabel::CColorLabel(QWidget* parent)
    : QWidget(parent)
    , m_textColor(QApplication::palette().color(QPalette::WindowText))
    , m_bkColor(QApplication::palette().color(QPalette::Button))
    , m_font(QApplication::font())
{
}

void CColorLabel::SetText(const QString& text)
{
    m_text = text;
    update();
    emit TextChanged(text);
}

void CColorLabel::SetTextColor(const QColor& color)
{
    m_textColor = color;
    repaint();
}

// Takes effect with the next paint, as the caller usually sets more right after.
void CColorLabel::SetBkColor(const QColor& color)
{
    m_bkColor = color;
}

void CColorLabel::SetFontBold(bool bold)
{
    m_font.setWeight(bold ? QFont::Bold : QFont::Normal);
    repaint();
}

void CColorLabel::SetFontSize(int pixels)
{
    m_font.setPixelSize(pixels);
    repaint();
}

void CColorLabel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CColorLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_bkColor);
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    // A long path keeps its start and its file name.
    const QString shown = QFontMetrics(m_font).elidedText(m_text, Qt::ElideMiddle, width());
    painter.drawText(rect(), int(m_alignment) | Qt::TextSingleLine, shown);
}
