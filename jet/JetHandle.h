#pragma once
// Private to the Jet reader: the libmdb handle behind TJetDatabase. Only its .cpp files include this.
// glib has C++ parts of its own; mdbtools.h includes it inside extern "C", so it comes first.
#include <glib.h>
#include <mdbtools.h>

#include "jet/TJetDatabase.h"

struct TJetDatabase::Impl {
    MdbHandle *mdb = nullptr;
    QString path;
    qint64 fileSize = 0;
    TJetFormat format;
};
