// The inspection signs of the demo catalogue: tongue colour, shape and coating, face colour,
// eyes and nails, with the colours their pictures are drawn in.
#include "demo/art/DemoSubjects.h"

namespace {
constexpr TInspectionKind T = TInspectionKind::Tongue;
constexpr TInspectionKind Fc = TInspectionKind::Face;
constexpr TInspectionKind E = TInspectionKind::Eye;
constexpr TInspectionKind N = TInspectionKind::Nail;
} // namespace

const QVector<TDemoInspection> &DemoInspections()
{
    static const QVector<TDemoInspection> signs{
        {"舌色", "淡红舌", T, 0xE58C8A, 0xF6F3EC, 0.3, 0, "舌色淡红润泽，为正常舌色，亦见于外感初起。"},
        {"舌色", "淡白舌", T, 0xF0C4BC, 0xF6F4EE, 0.3, 0, "舌色较正常浅淡，主气血两虚、阳虚。"},
        {"舌色", "红舌", T, 0xD9483E, 0xF0E0A0, 0.15, 0, "舌色鲜红，主热证。"},
        {"舌色", "绛舌", T, 0xA8202C, 0xF0E0A0, 0.0, 0, "舌色深红，主热入营血或阴虚火旺。"},
        {"舌色", "青紫舌", T, 0x9A5A86, 0xEDE8EE, 0.2, 0, "舌色青紫，主气血瘀滞。"},
        {"舌形", "胖大舌", T, 0xEDB8B0, 0xF6F4EE, 0.4, TongueSwollen, "舌体较正常胖大，主水湿痰饮内停。"},
        {"舌形", "齿痕舌", T, 0xEBB2AA, 0xF6F4EE, 0.35, TongueSwollen | TongueTeethMarks, "舌边有齿痕，主脾虚、湿盛。"},
        {"舌形", "裂纹舌", T, 0xD8504A, 0xF2EAD8, 0.05, TongueCracks, "舌面有裂沟，主阴血亏虚。"},
        {"舌形", "芒刺舌", T, 0xD9403A, 0xE8CC70, 0.3, TonguePrickles, "舌乳头增生高起如刺，主热邪亢盛。"},
        {"舌形", "瘦薄舌", T, 0xD86A66, 0xF2EEE4, 0.05, TongueThin, "舌体瘦小而薄，主气血阴液不足。"},
        {"舌苔", "薄白苔", T, 0xE58C8A, 0xF8F6F0, 0.45, 0, "苔薄白而润，为正常舌苔，或表证初起。"},
        {"舌苔", "白厚腻苔", T, 0xE08C88, 0xF4F2E8, 0.95, TongueGreasy, "苔白厚而腻，主湿浊、痰饮、食积。"},
        {"舌苔", "黄腻苔", T, 0xD8605A, 0xE6C458, 0.85, TongueGreasy, "苔黄而腻，主湿热、痰热。"},
        {"舌苔", "灰黑苔", T, 0xC8504C, 0x5E5852, 0.7, 0, "苔色灰黑，主里热炽盛或阴寒内盛。"},
        {"舌苔", "剥落苔", T, 0xDD6A66, 0xF2EEE4, 0.65, TonguePeeled, "舌苔部分剥脱，剥处光滑，主胃气阴两伤。"},
        {"面色", "面色淡白", Fc, 0xF2E0D8, 0xF0D2CA, 0.1, 0, "面色白而无华，主虚证、寒证、失血。"},
        {"面色", "面色萎黄", Fc, 0xDCC084, 0xD0A868, 0.15, 0, "面色黄而枯槁无光，主脾胃气虚。"},
        {"面色", "面色潮红", Fc, 0xF0C8A8, 0xE0504A, 0.75, 0, "两颧潮红，主阴虚内热。"},
        {"面色", "面色青紫", Fc, 0xCBB8BC, 0x6E5E9A, 0.55, 0, "面色青紫，口唇紫暗，主寒证、瘀血。"},
        {"面色", "面色黧黑", Fc, 0x7E604C, 0x5A4034, 0.25, 0, "面色黑而暗淡，主肾虚、水饮、瘀血。"},
        {"目诊", "白睛黄染", E, 0xE8D060, 0xD8B040, 0.2, 0, "白睛发黄，为黄疸的主要标志。"},
        {"目诊", "目赤肿痛", E, 0xF6DCD8, 0xCC2A2A, 0.85, 0, "白睛红赤，主肝火上炎或风热。"},
        {"甲诊", "爪甲淡白", N, 0xF4E0DA, 0xF8EEEA, 0.2, 0, "爪甲色淡白，主血虚。"},
        {"甲诊", "爪甲青紫", N, 0x9A7CA2, 0x8A6A9A, 0.5, 0, "爪甲青紫，主瘀血、寒凝。"},
    };
    return signs;
}
