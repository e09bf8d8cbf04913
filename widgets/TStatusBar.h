#pragma once
// A status bar of panels side by side whose owner draws them: each paint draws the panels' bevels and
// raises OnDrawPanel for every panel with the rectangle inside its bevel.
#include "platform/TRect.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <cstdint>

class TCanvas;

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
    QString Text;
    int Width = 50; // the last panel takes the rest of the bar whatever its width
    TStatusPanelBevel Bevel = TStatusPanelBevel::pbLowered;
    std::uint8_t Alignment = 0; // 0 left, 1 right, 2 centre
};

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget *parent = nullptr);

    void SetPanels(const QList<TStatusPanel> &panels);
    int PanelCount() const { return int(m_panels.size()); }
    const TStatusPanel &Panel(int index) const { return m_panels.at(index); }
    // Setting a panel's text redraws that panel.
    void SetPanelText(int index, const QString &text);

    // The whole area of a panel, bevel included, for the bar's present width.
    QRect PanelArea(int index) const;
    // The area inside the panel's bevel: what the owner draws on.
    QRect PanelRect(int index) const;

    // The canvas of the paint in progress; nullptr outside OnDrawPanel.
    TCanvas *Canvas() const { return m_canvas; }

    QSize sizeHint() const override;

signals:
    void OnDrawPanel(TStatusBar *statusBar, int panel, const TRect &rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<TStatusPanel> m_panels;
    TCanvas *m_canvas = nullptr;
};
