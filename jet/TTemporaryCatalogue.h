#pragma once
// A new, empty catalogue under a temporary name beside its destination. It is removed on
// destruction unless it was moved into place, so a failed conversion leaves nothing behind.
#include <QString>

class TTemporaryCatalogue {
public:
    explicit TTemporaryCatalogue(const QString &destination);
    ~TTemporaryCatalogue();
    TTemporaryCatalogue(const TTemporaryCatalogue &) = delete;
    TTemporaryCatalogue &operator=(const TTemporaryCatalogue &) = delete;

    QString Path() const { return m_path; }
    // Moves the file to the destination; refuses when the destination exists by then.
    // The catalogue must be closed first.
    void MoveIntoPlace();

private:
    void Remove() noexcept;

    QString m_destination;
    QString m_path;
    bool m_moved = false;
};
