#pragma once
// What a picture control tells assistive technology beyond its name: whether it shows a picture,
// the picture's size, and whether pressing it does something (and doing it).
#include <QSize>

class TAccessibleGraphicSource {
public:
    virtual bool AccessibleHasPicture() const = 0;
    virtual QSize AccessiblePictureSize() const = 0;
    // Whether a click on the control does something.
    virtual bool AccessiblePressable() const = 0;
    // Does what a click does, after the caller has returned (a click may open a modal window).
    virtual void AccessiblePress() = 0;

protected:
    ~TAccessibleGraphicSource() = default;
};
