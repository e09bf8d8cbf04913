#pragma once
// What the program's clickable picture controls (TImage, TImageLabel) share: which input clicks
// them, the focus frame someone working with the keyboard sees, and a click asked for by
// assistive technology.
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QWidget;

// Space, Return or Enter (the keypad's too) without modifiers.
bool IsClickKey(const QKeyEvent *event);
// The left button released over the control.
bool IsClickRelease(const QWidget *control, const QMouseEvent *event);
// The style's focus frame just inside the control's edge, when it has the focus.
void DrawFocusFrameIfFocused(QWidget *control, QPainter &painter);
// Calls the control's clicked() after the caller has returned: a click may open a modal window,
// which must not happen inside the assistive technology's call.
void PostClicked(QWidget *control);
