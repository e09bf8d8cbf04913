// The anatomy entries of the demo catalogue: organs and bones with the parts their pictures label.
#include "demo/art/DemoSubjects.h"

namespace {
using S = TAnatomyShape;
constexpr QRgb kBone = 0xEDE4D0;
} // namespace

const QVector<TDemoAnatomy> &DemoAnatomy()
{
    static const QVector<TDemoAnatomy> organs{
        {"循环系统", "心脏", S::Heart, 0xB83A3A, "主动脉 肺动脉 左心室 右心室 右心房"},
        {"呼吸系统", "肺", S::Lungs, 0xE09A9A, "气管 左肺上叶 左肺下叶 右肺中叶 右肺下叶"},
        {"呼吸系统", "气管与支气管", S::Bronchi, 0xD8C8B0, "气管 隆嵴 左主支气管 右主支气管"},
        {"消化系统", "肝", S::Liver, 0x8E3A2A, "右叶 左叶 镰状韧带 胆囊"},
        {"消化系统", "胃", S::Stomach, 0xE0A08A, "贲门 胃底 胃体 幽门 胃小弯 胃大弯"},
        {"消化系统", "胰腺", S::Pancreas, 0xE8C080, "胰头 胰体 胰尾 十二指肠"},
        {"消化系统", "小肠", S::SmallIntestine, 0xE6A6A0, "十二指肠 空肠 回肠"},
        {"消化系统", "大肠", S::Colon, 0xD49A80, "盲肠 升结肠 横结肠 降结肠 乙状结肠 直肠"},
        {"免疫系统", "脾", S::Spleen, 0x8A3050, "脾门 膈面 脏面"},
        {"泌尿系统", "肾", S::Kidney, 0xA2483A, "肾皮质 肾髓质 肾盂 输尿管"},
        {"泌尿系统", "膀胱", S::Bladder, 0xE0B0A0, "膀胱尖 膀胱体 膀胱底 输尿管"},
        {"神经系统", "大脑", S::Brain, 0xE8B8B0, "额叶 顶叶 颞叶 枕叶 小脑 脑干"},
        {"感觉器官", "眼球", S::Eye, 0xF4F2EE, "角膜 虹膜 晶状体 玻璃体 视网膜 视神经"},
        {"内分泌系统", "甲状腺", S::Thyroid, 0xC05A50, "右叶 左叶 峡部 气管"},
        {"骨骼系统", "颅骨", S::Skull, kBone, "额骨 顶骨 颞骨 上颌骨 下颌骨"},
        {"骨骼系统", "脊柱", S::Spine, kBone, "颈椎 胸椎 腰椎 骶骨 尾骨"},
        {"骨骼系统", "胸廓", S::Ribcage, kBone, "胸骨 肋骨 肋软骨 锁骨"},
        {"骨骼系统", "骨盆", S::Pelvis, kBone, "髂骨 骶骨 耻骨联合 髋臼 闭孔"},
        {"骨骼系统", "股骨", S::Femur, kBone, "股骨头 股骨颈 大转子 股骨干 内侧髁 外侧髁"},
        {"骨骼系统", "肱骨", S::Humerus, kBone, "肱骨头 大结节 肱骨干 内上髁 外上髁"},
        {"骨骼系统", "手骨", S::Hand, kBone, "腕骨 掌骨 近节指骨 中节指骨 远节指骨"},
    };
    return organs;
}
