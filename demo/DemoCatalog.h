#pragma once
// Builds the demo catalogue: a new catalogue file filled with the fixed entries of the demo plan.
#include "demo/DemoPlan.h"

#include <QString>

struct TDemoCatalogueStats {
    int entries = 0;
    int pictures = 0;
    qint64 pictureBytes = 0;
};

// Makes a new catalogue at path from the entries. The file is built under a temporary name beside
// path and moved into place only when complete: a failure leaves nothing behind, and an existing
// path is refused (TavelinError) and not touched.
TDemoCatalogueStats BuildDemoCatalogue(const QString &path, const QVector<TDemoEntry> &entries);
