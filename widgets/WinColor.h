#pragma once
// Windows COLORREF values (red in the low byte, then green, then blue) as the layouts give them.
#include <QColor>
#include <QPalette>
#include <QWidget>

inline QColor ColorFromRef(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

inline quint32 RefFromColor(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// Fills a panel with its own colour; children that do not fill keep showing it.
inline void SetPanelColor(QWidget *w, quint32 ref)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ColorFromRef(ref));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

inline void SetTextColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}
