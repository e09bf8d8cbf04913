// The herbs of the demo catalogue: real names, pinyin, other names and how the plant looks.
#include "demo/art/DemoSubjects.h"

#include <QStringList>

namespace {
using P = THerbPart;
using L = TLeafShape;
using F = TFlowerForm;
} // namespace

const QVector<TDemoHerb> &DemoHerbs()
{
    static const QVector<TDemoHerb> herbs{
        {"甘草", "gan cao", "国老 甜草 蜜甘", P::Root, L::Pinnate, F::Spike, 0x9A7BC9, 0xB5834F},
        {"黄芪", "huang qi", "黄耆 绵芪 北芪", P::Root, L::Pinnate, F::Spike, 0xF0D44C, 0xD9B26A},
        {"人参", "ren shen", "棒槌 神草 地精", P::Root, L::Palmate, F::Umbel, 0xD23A2E, 0xE6CFA0},
        {"当归", "dang gui", "秦归 云归 干归", P::Root, L::Pinnate, F::Umbel, 0xF4F1E8, 0x9C6B3F},
        {"白术", "bai zhu", "於术 冬术 山蓟", P::Rhizome, L::Lanceolate, F::Daisy, 0xB0508A, 0xC9A878},
        {"茯苓", "fu ling", "云苓 茯菟 松苓", P::Sclerotium, L::Linear, F::Daisy, 0xFFFFFF, 0x7A5236},
        {"川芎", "chuan xiong", "京芎 抚芎 香果", P::Rhizome, L::Pinnate, F::Umbel, 0xF4F1E8, 0x8A6A45},
        {"白芍", "bai shao", "白芍药 杭芍 金芍药", P::Root, L::Lanceolate, F::Cup, 0xF5E4EC, 0xEADCC6},
        {"熟地黄", "shu di huang", "熟地 大熟地 熟地黄片", P::Tuber, L::Ovate, F::Tubular, 0xB0506E, 0x3A2418},
        {"枸杞子", "gou qi zi", "枸杞 杞子 血杞子", P::Fruit, L::Lanceolate, F::Bell, 0x8C5AA8, 0xD7261E},
        {"党参", "dang shen", "上党人参 潞党参 防党参", P::Root, L::Ovate, F::Bell, 0xB9C9A0, 0xCDAE7F},
        {"黄连", "huang lian", "川连 味连 鸡爪连", P::Rhizome, L::Palmate, F::Daisy, 0xEDEBD8, 0xE0B020},
        {"黄芩", "huang qin", "腐肠 条芩 枯芩", P::Root, L::Lanceolate, F::Tubular, 0x6E63C2, 0xD9B34A},
        {"金银花", "jin yin hua", "忍冬花 双花 二花", P::Flower, L::Ovate, F::Tubular, 0xF4E7A8, 0xF0D87A},
        {"连翘", "lian qiao", "旱连子 空翘 黄花条", P::Fruit, L::Ovate, F::Bell, 0xF2C12E, 0x9B6B3A},
        {"板蓝根", "ban lan gen", "靛青根 蓝靛根 菘蓝根", P::Root, L::Lanceolate, F::Umbel, 0xF3DB4A, 0xD7C29A},
        {"菊花", "ju hua", "甘菊 杭菊 滁菊", P::Flower, L::Palmate, F::Daisy, 0xF7F2E2, 0xF2E7C2},
        {"薄荷", "bo he", "苏薄荷 南薄荷 人丹草", P::Leaf, L::Ovate, F::Spike, 0xC8A8DC, 0x5E8F3E},
        {"桂枝", "gui zhi", "柳桂 嫩桂枝 桂枝尖", P::Twig, L::Lanceolate, F::Umbel, 0xF0EAD0, 0x8B4A2B},
        {"麻黄", "ma huang", "龙沙 草麻黄 狗骨", P::Whole, L::Linear, F::Umbel, 0xD04A2A, 0x7D9A48},
        {"柴胡", "chai hu", "地熏 山菜 北柴胡", P::Root, L::Linear, F::Umbel, 0xF2D23A, 0x8E6B45},
        {"葛根", "ge gen", "甘葛 粉葛 干葛", P::Root, L::Ovate, F::Spike, 0x8B59B5, 0xC9A77C},
        {"防风", "fang feng", "屏风 关防风 铜芸", P::Root, L::Pinnate, F::Umbel, 0xF4F1E8, 0xA27A50},
        {"荆芥", "jing jie", "假苏 香荆芥 四棱杆蒿", P::Whole, L::Pinnate, F::Spike, 0xBFA0D8, 0x6E8F4A},
        {"紫苏", "zi su", "苏叶 赤苏 香苏", P::Leaf, L::Ovate, F::Spike, 0xE6C8E6, 0x7A2E6A},
        {"生姜", "sheng jiang", "鲜姜 姜根 百辣云", P::Rhizome, L::Lanceolate, F::Spike, 0xE7D36A, 0xE3C68A},
        {"大黄", "da huang", "将军 川军 锦纹", P::Rhizome, L::Palmate, F::Spike, 0xE7B8B0, 0xC4892E},
        {"陈皮", "chen pi", "橘皮 贵老 红皮", P::Fruit, L::Ovate, F::Daisy, 0xFAF6EC, 0xE8842A},
        {"半夏", "ban xia", "地文 守田 水玉", P::Tuber, L::Ovate, F::Spike, 0x9CB86A, 0xEFE6CC},
        {"天麻", "tian ma", "赤箭 定风草 明天麻", P::Tuber, L::Linear, F::Bell, 0xD8B070, 0xE6D2A8},
        {"丹参", "dan shen", "赤参 紫丹参 血参", P::Root, L::Pinnate, F::Tubular, 0x7B5BC0, 0x9E3A2E},
        {"三七", "san qi", "田七 金不换 参三七", P::Root, L::Palmate, F::Umbel, 0xC8352A, 0x8D8A6E},
        {"红花", "hong hua", "红蓝花 草红花 刺红花", P::Flower, L::Lanceolate, F::Daisy, 0xE8462C, 0xE8462C},
        {"桃仁", "tao ren", "毛桃仁 扁桃仁 大桃仁", P::Seed, L::Lanceolate, F::Cup, 0xF2A6C0, 0xB07A4E},
        {"益母草", "yi mu cao", "坤草 茺蔚 益母蒿", P::Whole, L::Palmate, F::Spike, 0xD48AC0, 0x6E9048},
        {"牛膝", "niu xi", "怀牛膝 百倍 牛茎", P::Root, L::Ovate, F::Spike, 0xA9C27A, 0xD9C7A0},
        {"杜仲", "du zhong", "思仙 丝连皮 扯丝皮", P::Bark, L::Ovate, F::Umbel, 0x9FB070, 0x6B4B34},
        {"五味子", "wu wei zi", "玄及 会及 北五味子", P::Fruit, L::Ovate, F::Cup, 0xF3DDE0, 0xA4182A},
        {"山药", "shan yao", "薯蓣 怀山药 山芋", P::Tuber, L::Heart, F::Spike, 0xEFEDE0, 0xE8DCC0},
        {"山茱萸", "shan zhu yu", "山萸肉 枣皮 药枣", P::Fruit, L::Ovate, F::Umbel, 0xF0CC30, 0xB81C22},
        {"女贞子", "nv zhen zi", "冬青子 女贞实 爆格蚤", P::Fruit, L::Ovate, F::Umbel, 0xF6F3E6, 0x3A2A4A},
        {"麦冬", "mai dong", "麦门冬 寸冬 沿阶草", P::Tuber, L::Linear, F::Spike, 0xC6B4E0, 0xEBDDB0},
        {"天冬", "tian dong", "天门冬 明天冬 大当门根", P::Tuber, L::Linear, F::Bell, 0xEEF0E0, 0xE6C98A},
        {"玉竹", "yu zhu", "葳蕤 萎蕤 铃铛菜", P::Rhizome, L::Ovate, F::Bell, 0xE8F0DA, 0xE0C88E},
        {"百合", "bai he", "野百合 喇叭筒 山百合", P::Tuber, L::Lanceolate, F::Tubular, 0xFBF8F0, 0xF0E6CE},
        {"石斛", "shi hu", "林兰 金钗石斛 吊兰花", P::Whole, L::Lanceolate, F::Cup, 0xF0C8DC, 0xC2B04A},
        {"知母", "zhi mu", "连母 地参 水须", P::Rhizome, L::Linear, F::Spike, 0xE2B8CC, 0xA88A5A},
        {"玄参", "xuan shen", "元参 黑参 重台", P::Root, L::Ovate, F::Bell, 0x6A2E48, 0x3A2C26},
        {"生地黄", "sheng di huang", "生地 干地黄 鲜地黄", P::Tuber, L::Ovate, F::Tubular, 0xB0506E, 0xC49A5A},
        {"牡丹皮", "mu dan pi", "丹皮 粉丹皮 牡丹根皮", P::Bark, L::Pinnate, F::Cup, 0xE87FA8, 0x8A5A48},
        {"赤芍", "chi shao", "赤芍药 木芍药 红芍药", P::Root, L::Lanceolate, F::Cup, 0xD64A6E, 0x8B3A2A},
        {"酸枣仁", "suan zao ren", "枣仁 山枣仁 酸枣核", P::Seed, L::Ovate, F::Umbel, 0xD8DC70, 0x8A3A24},
        {"远志", "yuan zhi", "小草 细草 棘菀", P::Root, L::Linear, F::Spike, 0x8A5AC0, 0xC9A26E},
        {"石菖蒲", "shi chang pu", "菖蒲 九节菖蒲 水剑草", P::Rhizome, L::Linear, F::Spike, 0xC6CC5A, 0x8A6A46},
        {"藿香", "huo xiang", "广藿香 土藿香 排香草", P::Leaf, L::Ovate, F::Spike, 0xB08AD0, 0x5A8A3A},
        {"佩兰", "pei lan", "兰草 省头草 香水兰", P::Whole, L::Lanceolate, F::Umbel, 0xE8C8D8, 0x6A9448},
        {"苍术", "cang zhu", "赤术 茅苍术 北苍术", P::Rhizome, L::Lanceolate, F::Daisy, 0xF0EDE6, 0x6A4A30},
        {"厚朴", "hou po", "川朴 紫油厚朴 赤朴", P::Bark, L::Ovate, F::Cup, 0xF8F4EA, 0x6E4630},
        {"砂仁", "sha ren", "缩砂仁 阳春砂 春砂仁", P::Fruit, L::Lanceolate, F::Spike, 0xF2EEDC, 0x8E6A3E},
        {"木香", "mu xiang", "广木香 云木香 蜜香", P::Root, L::Heart, F::Daisy, 0x7A3E8E, 0x9C7A54},
        {"香附", "xiang fu", "莎草根 香附子 雷公头", P::Rhizome, L::Linear, F::Umbel, 0x8A5A30, 0x5A3A28},
        {"延胡索", "yan hu suo", "元胡 玄胡索 延胡", P::Tuber, L::Pinnate, F::Spike, 0xB07CD0, 0xD8B040},
        {"鱼腥草", "yu xing cao", "蕺菜 折耳根 侧耳根", P::Whole, L::Heart, F::Spike, 0xF6F4EC, 0x8AA85A},
        {"蒲公英", "pu gong ying", "黄花地丁 婆婆丁 奶汁草", P::Whole, L::Lanceolate, F::Daisy, 0xF5C518, 0x8A7A4A},
        {"车前子", "che qian zi", "车前实 凤眼前仁 猪耳朵穗子", P::Seed, L::Ovate, F::Spike, 0xB8C48A, 0x3A2A1E},
        {"泽泻", "ze xie", "水泻 建泽泻 川泽泻", P::Tuber, L::Ovate, F::Daisy, 0xF4F0F4, 0xEBD9B2},
        {"黄柏", "huang bo", "黄檗 檗皮 关黄柏", P::Bark, L::Pinnate, F::Umbel, 0xCFD46A, 0xE3C22E},
        {"附子", "fu zi", "附片 黑顺片 白附片", P::Tuber, L::Palmate, F::Bell, 0x4E58B8, 0x6A4A36},
        {"肉桂", "rou gui", "官桂 玉桂 牡桂", P::Bark, L::Lanceolate, F::Umbel, 0xF0EAD0, 0x7A3A22},
        {"艾叶", "ai ye", "艾蒿 家艾 灸草", P::Leaf, L::Palmate, F::Spike, 0xC8C08A, 0x7E9A7A},
        {"桔梗", "jie geng", "白药 梗草 苦桔梗", P::Root, L::Ovate, F::Bell, 0x6A6ED8, 0xEDE2C8},
        {"苦杏仁", "ku xing ren", "杏仁 北杏 光杏仁", P::Seed, L::Heart, F::Cup, 0xF6DCE4, 0xB57A48},
        {"川贝母", "chuan bei mu", "川贝 青贝 松贝", P::Tuber, L::Linear, F::Bell, 0x9A8A5A, 0xF2EEE2},
        {"灵芝", "ling zhi", "赤芝 灵芝草 瑞草", P::Fungus, L::Linear, F::Daisy, 0xFFFFFF, 0x8A2A1E},
    };
    return herbs;
}

QString PinyinInitials(const QString &pinyin)
{
    QString initials;
    for (const QString &syllable : pinyin.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        initials += syllable.at(0).toUpper();
    return initials;
}

QString HerbOtherName(const TDemoHerb &herb)
{
    return QString::fromUtf8(herb.otherNames) + QLatin1Char(' ') + PinyinInitials(QString::fromUtf8(herb.pinyin));
}
