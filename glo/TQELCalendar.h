#pragma once
// The calendar helper the function set owns. It holds no data and offers nothing the program uses
// yet; it exists so the function set's ownership stays as designed.
class TQELCalendar {
public:
    TQELCalendar() = default;
};
