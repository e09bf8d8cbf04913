#pragma once
// The fixed subjects of the demo catalogue: herbs, acupuncture points, inspection signs, anatomy
// and clinical pictures, with what their illustrations need to know. Texts are UTF-8 literals.
#include <QRgb>
#include <QString>
#include <QVector>

// ---- Herbs (ZY) ----
enum class THerbPart { Root, Rhizome, Tuber, Flower, Fruit, Seed, Leaf, Bark, Twig, Whole, Fungus, Sclerotium };
enum class TLeafShape { Ovate, Lanceolate, Pinnate, Palmate, Heart, Linear };
enum class TFlowerForm { Daisy, Bell, Umbel, Spike, Tubular, Cup };

struct TDemoHerb {
    const char *name;       // 甘草
    const char *pinyin;     // "gan cao": one syllable per character
    const char *otherNames; // blank-separated
    THerbPart part;         // the part used as medicine
    TLeafShape leaf;
    TFlowerForm flower;
    QRgb flowerColour;
    QRgb partColour; // colour of the medicinal part (root, fruit, bark...)
};
const QVector<TDemoHerb> &DemoHerbs();

// "gan cao" -> "GC": the first letter of each syllable, upper case ("nv" stands for nü).
QString PinyinInitials(const QString &pinyin);
// The herb's other names followed by the initials of its name, so typing "GC" finds 甘草.
QString HerbOtherName(const TDemoHerb &herb);

// ---- Acupuncture points (ZYZJ) ----
enum class TBodyView { Front, Back };

struct TDemoAcupoint {
    const char *meridian; // 手太阴肺经
    const char *name;     // 中府
    TBodyView view;
    double x, y; // on the standard figure, 400 x 1000 design units, head at the top
};
const QVector<TDemoAcupoint> &DemoAcupoints();
QRgb MeridianColour(const QString &meridian);

enum class TNeedling { Perpendicular, Oblique, Transverse };
// How a point at this place on the figure is needled: transverse on the head, oblique over the
// chest and back, perpendicular on the limbs and abdomen.
TNeedling NeedlingAt(TBodyView view, double x, double y);

// ---- Inspection (ZYWZ) ----
enum class TInspectionKind { Tongue, Face, Eye, Nail };
enum TTongueFeature : unsigned {
    TongueSwollen = 1,
    TongueThin = 2,
    TongueTeethMarks = 4,
    TongueCracks = 8,
    TonguePrickles = 16,
    TonguePeeled = 32,
    TongueGreasy = 64,
};

struct TDemoInspection {
    const char *type; // 舌色, 面色 ...
    const char *item; // 淡白舌 ...
    TInspectionKind kind;
    QRgb body;        // tongue body, skin, sclera or nail bed colour
    QRgb coat;        // tongue coating (or cheek flush / lip colour for faces)
    double coatAmount; // 0 none .. 1 thick
    unsigned features;
    const char *memo;
};
const QVector<TDemoInspection> &DemoInspections();

// ---- Anatomy (XYJP) ----
enum class TAnatomyShape {
    Heart, Lungs, Bronchi, Liver, Stomach, Pancreas, Spleen, SmallIntestine, Colon, Kidney, Bladder,
    Brain, Eye, Thyroid, Skull, Spine, Ribcage, Pelvis, Femur, Humerus, Hand
};

struct TDemoAnatomy {
    const char *type;  // 循环系统 ...
    const char *item;  // 心脏 ...
    TAnatomyShape shape;
    QRgb colour;
    const char *parts; // blank-separated names of the labelled parts
};
const QVector<TDemoAnatomy> &DemoAnatomy();

// ---- Clinical pictures (XYLC) ----
enum class TClinicalKind { Skin, ChestFilm, BoneFilm, Ecg, Fundus, Ultrasound };

struct TDemoClinical {
    const char *type; // 皮肤科 ...
    const char *item; // 湿疹 ...
    TClinicalKind kind;
    int variant;      // which picture of its kind (lesion pattern, film finding, rhythm ...)
    const char *finding; // the labelled finding
};
const QVector<TDemoClinical> &DemoClinical();
