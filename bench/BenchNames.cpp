#include "bench/BenchNames.h"

#include "bench/BenchRandom.h"

namespace {

// Characters of herb names and the initial of each one's pinyin.
struct TSyllable {
    const char *hanzi;
    char initial;
};
const TSyllable kSyllables[] = {
    {"甘", 'G'}, {"草", 'C'}, {"黄", 'H'}, {"芪", 'Q'}, {"人", 'R'}, {"参", 'S'}, {"当", 'D'}, {"归", 'G'},
    {"白", 'B'}, {"术", 'Z'}, {"茯", 'F'}, {"苓", 'L'}, {"川", 'C'}, {"芎", 'X'}, {"芍", 'S'}, {"熟", 'S'},
    {"地", 'D'}, {"枸", 'G'}, {"杞", 'Q'}, {"子", 'Z'}, {"党", 'D'}, {"连", 'L'}, {"芩", 'Q'}, {"金", 'J'},
    {"银", 'Y'}, {"花", 'H'}, {"翘", 'Q'}, {"板", 'B'}, {"蓝", 'L'}, {"根", 'G'}, {"菊", 'J'}, {"薄", 'B'},
    {"荷", 'H'}, {"桂", 'G'}, {"枝", 'Z'}, {"麻", 'M'}, {"柴", 'C'}, {"胡", 'H'}, {"葛", 'G'}, {"防", 'F'},
    {"风", 'F'}, {"荆", 'J'}, {"芥", 'J'}, {"紫", 'Z'}, {"苏", 'S'}, {"生", 'S'}, {"姜", 'J'}, {"陈", 'C'},
    {"皮", 'P'}, {"半", 'B'}, {"夏", 'X'}, {"丹", 'D'}, {"牛", 'N'}, {"膝", 'X'}, {"山", 'S'}, {"药", 'Y'},
    {"五", 'W'}, {"味", 'W'}, {"天", 'T'}, {"麦", 'M'}, {"冬", 'D'}, {"玄", 'X'}, {"知", 'Z'}, {"母", 'M'},
    {"石", 'S'}, {"膏", 'G'}, {"大", 'D'}, {"枣", 'Z'}, {"杏", 'X'}, {"仁", 'R'}, {"桃", 'T'}, {"红", 'H'},
    {"益", 'Y'}, {"香", 'X'}, {"附", 'F'}, {"木", 'M'}, {"通", 'T'}, {"泽", 'Z'}, {"泻", 'X'}, {"车", 'C'},
    {"前", 'Q'}, {"远", 'Y'}, {"志", 'Z'}, {"酸", 'S'}, {"乌", 'W'}, {"梅", 'M'}, {"龙", 'L'}, {"骨", 'G'},
};
constexpr int kSyllableCount = int(sizeof kSyllables / sizeof kSyllables[0]);

QString word(TBenchRandom &rng, int length, QString *initials)
{
    QString w;
    for (int i = 0; i < length; ++i) {
        const TSyllable &s = kSyllables[rng.Below(kSyllableCount)];
        w += QString::fromUtf8(s.hanzi);
        if (initials)
            *initials += QLatin1Char(s.initial);
    }
    return w;
}

} // namespace

THerbName MakeHerbName(std::uint64_t index)
{
    TBenchRandom rng(index * 7919 + 1);
    THerbName n;
    QString initials;
    n.drugName = word(rng, 2 + rng.Below(2), &initials);
    n.otherName = word(rng, 2 + rng.Below(2), nullptr) + QLatin1Char(' ') + word(rng, 2 + rng.Below(2), nullptr)
                  + QLatin1Char(' ') + initials;
    return n;
}
