#pragma once
// The parameter values of one statement, in libpq's form: every value travels as a parameter,
// never inside the SQL text.
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <libpq-fe.h>

#include <vector>

class PgParameters {
public:
    // Text whose type the server infers from its use (a named parameter of the program).
    void AddUntyped(const QVariant &value);
    void AddText(const QString &value);
    void AddInteger(qint64 value);
    // Bytes sent as they are (bytea, binary format); a null array sends NULL.
    void AddBytes(const QByteArray &value);
    void AddNull();

    int Count() const { return int(m_values.size()); }
    const Oid *Types() const { return m_types.data(); }
    const char *const *Values() const;
    const int *Lengths() const { return m_lengths.data(); }
    const int *Formats() const { return m_formats.data(); }

private:
    void add(Oid type, const QByteArray &bytes, bool isNull, int format);

    std::vector<QByteArray> m_values;
    std::vector<Oid> m_types;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
    std::vector<bool> m_null;
    mutable std::vector<const char *> m_pointers;
};
