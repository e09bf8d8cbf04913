#pragma once
// Owning handles for libpq's connection and result objects.
#include <libpq-fe.h>

#include <memory>

struct PgConnDeleter {
    void operator()(PGconn *c) const noexcept { PQfinish(c); }
};
struct PgResultDeleter {
    void operator()(PGresult *r) const noexcept { PQclear(r); }
};

using PgConnPtr = std::unique_ptr<PGconn, PgConnDeleter>;
using PgResultPtr = std::unique_ptr<PGresult, PgResultDeleter>;
