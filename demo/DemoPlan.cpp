#include "demo/DemoPlan.h"

#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"

#include <QStringList>

namespace {

// Long sides of the ordinary pictures (4:3); the short side is at least 300 px.
constexpr int kLongSides[] = {400, 480, 560, 640, 720, 800, 960, 1024, 1200};

QSize ordinarySize(const QString &atlas, int index, int slot, bool landscape)
{
    const std::uint64_t h = DemoStableHash(QStringLiteral("%1/%2/%3").arg(atlas).arg(index).arg(slot));
    const int longSide = kLongSides[h % (sizeof(kLongSides) / sizeof(kLongSides[0]))];
    const int shortSide = longSide * 3 / 4;
    return landscape ? QSize(longSide, shortSide) : QSize(shortSide, longSide);
}

// A few pictures are as large as a camera or a scanned film makes them.
std::optional<QSize> largeSize(const QString &atlas, const QString &name, int slot)
{
    struct Large {
        const char *atlas;
        const char *name;
        int slot;
        QSize size;
    };
    static const Large large[] = {
        {"ZY", "甘草", 2, {4000, 3000}},   {"ZY", "人参", 7, {4000, 3000}},   {"ZY", "当归", 1, {1800, 2400}},
        {"ZYZJ", "足三里", 1, {3000, 4000}}, {"XYLC", "正常胸片", 1, {4000, 3000}}, {"XYJP", "心脏", 1, {2400, 1800}},
        {"ZYWZ", "淡红舌", 1, {2048, 1536}}, {"ZXTP", "金银花", 1, {2592, 1944}},
    };
    for (const Large &l : large)
        if (atlas == QLatin1String(l.atlas) && name == QString::fromUtf8(l.name) && slot == l.slot)
            return l.size;
    return std::nullopt;
}

void fillSlots(TDemoEntry &e, int index, int slotCount, unsigned pattern, const std::function<bool(int)> &landscape)
{
    e.pictures.resize(slotCount);
    for (int k = 0; k < slotCount; ++k) {
        if (!(pattern & (1u << k)))
            continue;
        const int slot = k + 1;
        const QSize size = largeSize(e.atlas, e.name, slot).value_or(ordinarySize(e.atlas, index, slot, landscape(k)));
        e.pictures[k] = TDemoPicture{k, size};
    }
}

template <class T>
const T *findByName(const QVector<T> &subjects, const char *T::*field, const char *name)
{
    for (const T &s : subjects)
        if (qstrcmp(s.*field, name) == 0)
            return &s;
    return &subjects.first();
}

QString joinParts(const char *parts)
{
    return QString::fromUtf8(parts).split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QStringLiteral("、"));
}

} // namespace

unsigned DemoSlotPattern(int index, int slotCount)
{
    static const unsigned seven[] = {0b0001111, 0b0000001, 0b0000010, 0b0000101, 0b0011111, 0b1010110,
                                     0b0000011, 0b1010101, 0b0111111, 0b1111110, 0b0000111, 0b1111111};
    static const unsigned four[] = {0b0011, 0b0001, 0b0010, 0b0101, 0b0111, 0b1110, 0b1011, 0b1001, 0b0110, 0b1111};
    const unsigned all = (1u << slotCount) - 1;
    if (index < (slotCount == 7 ? 3 : 1))
        return all;
    if (slotCount == 7)
        return seven[(index - 3) % 12];
    return four[(index - 1) % 10] & all;
}

QVector<TDemoEntry> DemoCatalogEntries()
{
    QVector<TDemoEntry> entries;

    const auto &herbs = DemoHerbs();
    for (int i = 0; i < herbs.size(); ++i) {
        const TDemoHerb &h = herbs[i];
        TDemoEntry e;
        e.atlas = QStringLiteral("ZY");
        e.name = QString::fromUtf8(h.name);
        e.other = HerbOtherName(h);
        e.draw = [hp = &h](int view, QSize size) { return DrawHerbPicture(*hp, view, size); };
        fillSlots(e, i, 7, DemoSlotPattern(i, 7), HerbViewIsLandscape);
        entries << e;
    }

    const auto &points = DemoAcupoints();
    for (int i = 0; i < points.size(); ++i) {
        const TDemoAcupoint &a = points[i];
        TDemoEntry e;
        e.atlas = QStringLiteral("ZYZJ");
        e.name = QString::fromUtf8(a.name);
        e.other = QString::fromUtf8(a.meridian);
        const TNeedling how = NeedlingAt(a.view, a.x, a.y);
        e.memo = QStringLiteral("%1穴，属%2；%3。")
                     .arg(e.name, e.other,
                          how == TNeedling::Perpendicular ? QStringLiteral("直刺")
                          : how == TNeedling::Oblique     ? QStringLiteral("斜刺")
                                                          : QStringLiteral("平刺"));
        e.draw = [ap = &a](int view, QSize size) { return DrawAcupointPicture(*ap, view, size); };
        fillSlots(e, i, 4, DemoSlotPattern(i, 4), AcupointViewIsLandscape);
        entries << e;
    }

    const auto &signs = DemoInspections();
    for (int i = 0; i < signs.size(); ++i) {
        const TDemoInspection &s = signs[i];
        TDemoEntry e;
        e.atlas = QStringLiteral("ZYWZ");
        e.name = QString::fromUtf8(s.item);
        e.other = QString::fromUtf8(s.type);
        e.memo = QString::fromUtf8(s.memo);
        e.draw = [sp = &s](int view, QSize size) { return DrawInspectionPicture(*sp, view, size); };
        fillSlots(e, i, 4, DemoSlotPattern(i, 4), [&s](int view) {
            return !(view == 0 && s.kind == TInspectionKind::Face);
        });
        entries << e;
    }

    const auto &organs = DemoAnatomy();
    for (int i = 0; i < organs.size(); ++i) {
        const TDemoAnatomy &o = organs[i];
        TDemoEntry e;
        e.atlas = QStringLiteral("XYJP");
        e.name = QString::fromUtf8(o.item);
        e.other = QString::fromUtf8(o.type);
        e.memo = QStringLiteral("%1：%2。").arg(e.name, joinParts(o.parts));
        e.draw = [op = &o](int view, QSize size) { return DrawAnatomyPicture(*op, view, size); };
        fillSlots(e, i, 4, DemoSlotPattern(i, 4), [](int view) { return view != 3; });
        entries << e;
    }

    const auto &clinical = DemoClinical();
    for (int i = 0; i < clinical.size(); ++i) {
        const TDemoClinical &c = clinical[i];
        TDemoEntry e;
        e.atlas = QStringLiteral("XYLC");
        e.name = QString::fromUtf8(c.item);
        e.other = QString::fromUtf8(c.type);
        e.memo = QStringLiteral("%1：%2。").arg(e.name, joinParts(c.finding));
        e.draw = [cp = &c](int view, QSize size) { return DrawClinicalPicture(*cp, view, size); };
        fillSlots(e, i, 4, DemoSlotPattern(i, 4), [](int) { return true; });
        entries << e;
    }

    // The miscellaneous atlas holds what a user imported: one plain picture per entry.
    struct Own {
        const char *type;
        const char *item;
        std::function<QImage(QSize)> draw;
        bool landscape;
    };
    const TDemoHerb *honeysuckle = findByName(herbs, &TDemoHerb::name, "金银花");
    const TDemoHerb *chrysanthemum = findByName(herbs, &TDemoHerb::name, "菊花");
    const TDemoAcupoint *zusanli = findByName(points, &TDemoAcupoint::name, "足三里");
    const TDemoInspection *normalTongue = findByName(signs, &TDemoInspection::item, "淡红舌");
    const TDemoClinical *eczema = findByName(clinical, &TDemoClinical::item, "湿疹");
    const TDemoClinical *knee = findByName(clinical, &TDemoClinical::item, "膝关节骨性关节炎");
    const QVector<Own> own{
        {"教学资料", "足阳明胃经循行图", [zusanli](QSize s) { return DrawAcupointPicture(*zusanli, 0, s); }, false},
        {"教学资料", "舌诊分区挂图", [normalTongue](QSize s) { return DrawInspectionPicture(*normalTongue, 2, s); }, true},
        {"药园写生", "金银花", [honeysuckle](QSize s) { return DrawHerbPicture(*honeysuckle, 6, s); }, true},
        {"药园写生", "菊花", [chrysanthemum](QSize s) { return DrawHerbPicture(*chrysanthemum, 2, s); }, false},
        {"门诊病例", "湿疹随访 第2周", [eczema](QSize s) { return DrawClinicalPicture(*eczema, 0, s); }, true},
        {"门诊病例", "膝关节X线片", [knee](QSize s) { return DrawClinicalPicture(*knee, 0, s); }, true},
    };
    for (int i = 0; i < own.size(); ++i) {
        TDemoEntry e;
        e.atlas = QStringLiteral("ZXTP");
        e.name = QString::fromUtf8(own[i].item);
        e.other = QString::fromUtf8(own[i].type);
        const auto draw = own[i].draw;
        e.draw = [draw](int, QSize size) { return draw(size); };
        const bool landscape = own[i].landscape;
        fillSlots(e, i, 4, 0b0001, [landscape](int) { return landscape; });
        entries << e;
    }
    return entries;
}

QImage DrawDemoSlot(const TDemoEntry &entry, int slot)
{
    const std::optional<TDemoPicture> &pic = entry.pictures.at(slot - 1);
    if (!pic)
        return {};
    return entry.draw(pic->view, pic->size);
}
