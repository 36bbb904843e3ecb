#include "app/ccolorlabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {

// The label paints its text itself, so a screen reader learns it only from here: the name is
// what the label is for ("Code file") followed by what it shows; a label without either is a
// separator line.
class CColorLabelAccessible : public QAccessibleWidget {
public:
    explicit CColorLabelAccessible(CColorLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    [[nodiscard]] QAccessible::Role role() const override
    {
        return Label()->Text().isEmpty() && Label()->accessibleName().isEmpty() ? QAccessible::Separator
                                                                                : QAccessible::StaticText;
    }

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString purpose = Label()->accessibleName();
        const QString shown = Label()->Text();
        if (purpose.isEmpty() || shown.isEmpty())
            return purpose + shown;
        return purpose + QStringLiteral(": ") + shown;
    }

private:
    [[nodiscard]] CColorLabel* Label() const { return static_cast<CColorLabel*>(widget()); }
};

QAccessibleInterface* ColorLabelAccessible(const QString&, QObject* object)
{
    if (auto* label = qobject_cast<CColorLabel*>(object))
        return new CColorLabelAccessible(label);
    return nullptr;
}

} // namespace

CColorLabel::CColorLabel(QWidget* parent)
    : QWidget(parent)
    , m_textColor(QApplication::palette().color(QPalette::WindowText))
    , m_bkColor(QApplication::palette().color(QPalette::Button))
    , m_font(QApplication::font())
{
    static const bool installed = (QAccessible::installFactory(ColorLabelAccessible), true);
    (void)installed;
}

void CColorLabel::SetText(const QString& text)
{
    m_text = text;
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
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
