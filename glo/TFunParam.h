#pragma once
// The value record handed to the typed input dialog: four slots of each type; the dialog reads and
// writes the first of a type according to the input kind. Callers Reset it, fill what the kind
// reads, show the dialog and read the slot back only when the dialog was confirmed.
#include "platform/TDateTime.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The input kinds of the typed input dialog.
enum TInputKind : std::uint8_t {
    ikText = 0,
    ikMemo = 1,
    ikDate = 2,
    ikTime = 3,
    ikDateTime = 4,
    ikInteger = 5,
    ikFloat = 6,
};

class TFunParam {
public:
    TFunParam();

    // Empties the lists and texts, sets integers to -1, floats to 0.0, booleans to false and each
    // date-time to the current local date and time. The spare words are left as they are.
    void Reset();

    std::int32_t m_nIntValue;
    std::int32_t m_nIntValue2;
    std::int32_t m_nIntValue3;
    std::int32_t m_nIntValue4;

    double m_dFloatValue;
    double m_dFloatValue2;
    double m_dFloatValue3;
    double m_dFloatValue4;

    QString m_strText;
    QString m_strText2;
    QString m_strText3;
    QString m_strText4;

    TDateTime m_dtDateTime;
    TDateTime m_dtDateTime2;
    TDateTime m_dtDateTime3;
    TDateTime m_dtDateTime4;

    bool m_bPassword;
    bool m_bBoolValue2;
    bool m_bBoolValue3;
    bool m_bBoolValue4;

    QStringList m_lstContent;
    QStringList m_lstBackup;
    QStringList m_lstList3;
    QStringList m_lstList4;

    std::uint32_t m_dwReserved1 = 0;
    std::uint32_t m_dwReserved2 = 0;
    std::uint32_t m_dwReserved3 = 0;
    std::uint32_t m_dwReserved4 = 0;
};
