#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// A static text that paints its own text colour, background and font.
class CColorLabel : public QWidget {
    Q_OBJECT
public:
    explicit CColorLabel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetTextColor(const QColor& color);
    void SetBkColor(const QColor& color);
    void SetFontBold(bool bold);
    void SetFontSize(int pixels);
    void SetAlignment(Qt::Alignment alignment);

    [[nodiscard]] QString Text() const { return m_text; }
    [[nodiscard]] QColor TextColor() const { return m_textColor; }
    [[nodiscard]] QColor BkColor() const { return m_bkColor; }
    [[nodiscard]] const QFont& LabelFont() const { return m_font; }

signals:
    void TextChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_textColor;
    QColor m_bkColor;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
