// The libpq functions the server engine calls, loaded from the client library the first time one
// is called. Linked at build time, libpq brings about twenty libraries with it (TLS, Kerberos,
// LDAP, SASL and theirs), which the loader would map, relocate and initialise at every start of
// every program, although most starts open a catalogue file and never talk to a server. Each
// function here looks its namesake up in libpq once and calls it; the declarations come from
// libpq's own header, so a signature that differs from it does not compile.
#include "platform/TavelinError.h"

#include <libpq-fe.h>

#include <dlfcn.h>

#include <mutex>

namespace {

constexpr const char *kLibPq = "libpq.so.5";

void *Library()
{
    static std::once_flag once;
    static void *handle = nullptr;
    static QString failure;
    std::call_once(once, [] {
        handle = ::dlopen(kLibPq, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char *why = ::dlerror();
            failure = QString::fromLocal8Bit(why ? why : kLibPq);
        }
    });
    if (!handle)
        throw TavelinError(QStringLiteral("无法加载 PostgreSQL 客户端库 %1: %2。打开服务器上的图库需要它"
                                          "(Debian/Ubuntu 的软件包 libpq5)。")
                               .arg(QLatin1String(kLibPq), failure));
    return handle;
}

template <typename F>
F Symbol(const char *name)
{
    void *address = ::dlsym(Library(), name);
    if (!address)
        throw TavelinError(QStringLiteral("PostgreSQL 客户端库 %1 中没有函数 %2;它的版本太旧。")
                               .arg(QLatin1String(kLibPq), QLatin1String(name)));
    return reinterpret_cast<F>(address);
}

} // namespace

// Each forwards to its namesake in libpq, looked up at its first call.
#define TAVELIN_PQ(ret, name, params, args)                                                                    \
    extern "C" ret name params                                                                                 \
    {                                                                                                          \
        static const auto real = Symbol<decltype(&::name)>(#name);                                             \
        return real args;                                                                                      \
    }

// Freeing nothing needs no library: these are called from destructors, also when it never loaded.
#define TAVELIN_PQ_FREE(name, type)                                                                            \
    extern "C" void name(type pointer)                                                                         \
    {                                                                                                          \
        if (!pointer)                                                                                          \
            return;                                                                                            \
        static const auto real = Symbol<decltype(&::name)>(#name);                                             \
        real(pointer);                                                                                         \
    }

TAVELIN_PQ(PGconn *, PQconnectdb, (const char *conninfo), (conninfo))
TAVELIN_PQ(PGconn *, PQconnectdbParams, (const char *const *keywords, const char *const *values, int expand_dbname),
           (keywords, values, expand_dbname))
TAVELIN_PQ(ConnStatusType, PQstatus, (const PGconn *conn), (conn))
TAVELIN_PQ(PGTransactionStatusType, PQtransactionStatus, (const PGconn *conn), (conn))
TAVELIN_PQ(char *, PQerrorMessage, (const PGconn *conn), (conn))
TAVELIN_PQ(char *, PQdb, (const PGconn *conn), (conn))
TAVELIN_PQ(char *, PQuser, (const PGconn *conn), (conn))
TAVELIN_PQ(char *, PQhost, (const PGconn *conn), (conn))
TAVELIN_PQ(char *, PQport, (const PGconn *conn), (conn))
TAVELIN_PQ(PQconninfoOption *, PQconninfoParse, (const char *conninfo, char **errmsg), (conninfo, errmsg))
TAVELIN_PQ(PGresult *, PQexec, (PGconn *conn, const char *query), (conn, query))
TAVELIN_PQ(PGresult *, PQexecParams,
           (PGconn *conn, const char *command, int nParams, const Oid *paramTypes, const char *const *paramValues,
            const int *paramLengths, const int *paramFormats, int resultFormat),
           (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat))
TAVELIN_PQ(int, PQsendQueryParams,
           (PGconn *conn, const char *command, int nParams, const Oid *paramTypes, const char *const *paramValues,
            const int *paramLengths, const int *paramFormats, int resultFormat),
           (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat))
TAVELIN_PQ(PGresult *, PQprepare,
           (PGconn *conn, const char *stmtName, const char *query, int nParams, const Oid *paramTypes),
           (conn, stmtName, query, nParams, paramTypes))
TAVELIN_PQ(PGresult *, PQexecPrepared,
           (PGconn *conn, const char *stmtName, int nParams, const char *const *paramValues,
            const int *paramLengths, const int *paramFormats, int resultFormat),
           (conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat))
TAVELIN_PQ(int, PQsetSingleRowMode, (PGconn *conn), (conn))
TAVELIN_PQ(PGresult *, PQgetResult, (PGconn *conn), (conn))
TAVELIN_PQ(ExecStatusType, PQresultStatus, (const PGresult *res), (res))
TAVELIN_PQ(char *, PQresultErrorMessage, (const PGresult *res), (res))
TAVELIN_PQ(char *, PQresultErrorField, (const PGresult *res, int fieldcode), (res, fieldcode))
TAVELIN_PQ(int, PQntuples, (const PGresult *res), (res))
TAVELIN_PQ(int, PQnfields, (const PGresult *res), (res))
TAVELIN_PQ(Oid, PQftype, (const PGresult *res, int field_num), (res, field_num))
TAVELIN_PQ(char *, PQfname, (const PGresult *res, int field_num), (res, field_num))
TAVELIN_PQ(char *, PQgetvalue, (const PGresult *res, int tup_num, int field_num), (res, tup_num, field_num))
TAVELIN_PQ(int, PQgetisnull, (const PGresult *res, int tup_num, int field_num), (res, tup_num, field_num))
TAVELIN_PQ(int, PQgetlength, (const PGresult *res, int tup_num, int field_num), (res, tup_num, field_num))
TAVELIN_PQ(unsigned char *, PQunescapeBytea, (const unsigned char *strtext, size_t *retbuflen), (strtext, retbuflen))
TAVELIN_PQ_FREE(PQfinish, PGconn *)
TAVELIN_PQ_FREE(PQclear, PGresult *)
TAVELIN_PQ_FREE(PQfreemem, void *)
TAVELIN_PQ_FREE(PQconninfoFree, PQconninfoOption *)
