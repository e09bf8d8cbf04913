#pragma once
// What the demo catalogue holds: every entry with its texts and, per picture slot, the view and
// size of its picture (or nothing for an empty slot). The plan is fixed data, so the catalogue
// made from it is the same on every run.
#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

struct TDemoPicture {
    int view = 0;
    QSize size;
};

struct TDemoEntry {
    QString atlas; // ZY, ZYZJ, ...
    QString name;  // DrugName or ItemName
    QString other; // OtherName or TypeName
    QString memo;  // MemoContent (not in ZY)
    QVector<std::optional<TDemoPicture>> pictures; // one per slot of the atlas
    std::function<QImage(int view, QSize size)> draw;
};

QVector<TDemoEntry> DemoCatalogEntries();

// Which slots of the index-th entry of an atlas are filled, as a bit mask (bit k = slot k + 1):
// the first entries have every slot, the others cycle through patterns that include gaps.
unsigned DemoSlotPattern(int index, int slotCount);

// The picture of one filled slot, drawn.
QImage DrawDemoSlot(const TDemoEntry &entry, int slot);
