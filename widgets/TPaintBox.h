#pragma once
// A plain drawing surface whose owner paints it: on every paint the box opens a canvas and raises
// OnPaint with itself as the sender, so one handler can serve several boxes.
#include <QWidget>
#include <memory>

class TCanvas;

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget *parent = nullptr);
    ~TPaintBox() override;

    // The canvas of the paint in progress; nullptr outside OnPaint.
    TCanvas *Canvas() const { return m_canvas; }

signals:
    void OnPaint(TPaintBox *sender);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TCanvas *m_canvas = nullptr;
};
