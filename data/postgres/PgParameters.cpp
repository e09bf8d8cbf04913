#include "data/postgres/PgParameters.h"

namespace {
// The server's type numbers of the few types sent with a declared type.
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kTextOid = 25;
} // namespace

void PgParameters::add(Oid type, const QByteArray &bytes, bool isNull, int format)
{
    m_values.push_back(bytes);
    m_types.push_back(type);
    m_lengths.push_back(int(bytes.size()));
    m_formats.push_back(format);
    m_null.push_back(isNull);
}

void PgParameters::AddUntyped(const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        AddNull();
        return;
    }
    if (value.typeId() == QMetaType::Bool) {
        add(0, value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false"), false, 0);
        return;
    }
    add(0, value.toString().toUtf8(), false, 0);
}

void PgParameters::AddText(const QString &value)
{
    add(kTextOid, value.toUtf8(), false, 0);
}

void PgParameters::AddInteger(qint64 value)
{
    add(kInt8Oid, QByteArray::number(value), false, 0);
}

void PgParameters::AddBytes(const QByteArray &value)
{
    if (value.isNull()) {
        add(kByteaOid, {}, true, 1);
        return;
    }
    add(kByteaOid, value, false, 1);
}

void PgParameters::AddNull()
{
    add(0, {}, true, 0);
}

const char *const *PgParameters::Values() const
{
    m_pointers.clear();
    for (size_t i = 0; i < m_values.size(); ++i)
        // An empty (non-null) bytea still needs a non-null pointer.
        m_pointers.push_back(m_null[i] ? nullptr : (m_values[i].isNull() ? "" : m_values[i].constData()));
    return m_pointers.data();
}
