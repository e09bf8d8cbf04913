// The clinical pictures of the demo catalogue: skin conditions, chest and bone films, ECG strips,
// fundus photographs and an ultrasound scan.
#include "demo/art/DemoSubjects.h"

namespace {
using K = TClinicalKind;
} // namespace

const QVector<TDemoClinical> &DemoClinical()
{
    // variant: skin 0 eczema, 1 psoriasis, 2 zoster, 3 urticaria, 4 vitiligo, 5 acne, 6 tinea;
    // chest 0 normal, 1 lobar pneumonia, 2 pneumothorax, 3 effusion, 4 cardiomegaly;
    // bone 0 femoral shaft fracture, 1 distal radius fracture, 2 knee osteoarthritis;
    // ECG 0 sinus rhythm, 1 atrial fibrillation, 2 ST elevation, 3 ventricular tachycardia;
    // fundus 0 normal, 1 diabetic retinopathy; ultrasound 0 gallstone.
    static const QVector<TDemoClinical> pictures{
        {"皮肤科", "湿疹", K::Skin, 0, "红斑 丘疹 渗出"},
        {"皮肤科", "银屑病", K::Skin, 1, "银白色鳞屑斑块"},
        {"皮肤科", "带状疱疹", K::Skin, 2, "簇集水疱 带状分布"},
        {"皮肤科", "荨麻疹", K::Skin, 3, "风团"},
        {"皮肤科", "白癜风", K::Skin, 4, "色素脱失斑"},
        {"皮肤科", "寻常痤疮", K::Skin, 5, "粉刺 炎性丘疹"},
        {"皮肤科", "体癣", K::Skin, 6, "环状红斑 边缘鳞屑"},
        {"胸部影像", "正常胸片", K::ChestFilm, 0, "两肺纹理清晰"},
        {"胸部影像", "大叶性肺炎", K::ChestFilm, 1, "右下肺大片实变影"},
        {"胸部影像", "气胸", K::ChestFilm, 2, "左侧胸腔无肺纹理透亮区"},
        {"胸部影像", "胸腔积液", K::ChestFilm, 3, "右侧肋膈角消失 弧形液面"},
        {"胸部影像", "心影增大", K::ChestFilm, 4, "心胸比大于0.5"},
        {"骨科影像", "股骨干骨折", K::BoneFilm, 0, "股骨中段骨折线 断端移位"},
        {"骨科影像", "桡骨远端骨折", K::BoneFilm, 1, "桡骨远端骨折 背侧移位"},
        {"骨科影像", "膝关节骨性关节炎", K::BoneFilm, 2, "关节间隙变窄 骨赘形成"},
        {"心电图", "窦性心律", K::Ecg, 0, "P波规律 心率75次/分"},
        {"心电图", "心房颤动", K::Ecg, 1, "P波消失 RR间期绝对不齐"},
        {"心电图", "急性ST段抬高型心肌梗死", K::Ecg, 2, "ST段弓背向上抬高"},
        {"心电图", "室性心动过速", K::Ecg, 3, "宽大畸形QRS波 心率180次/分"},
        {"眼底", "正常眼底", K::Fundus, 0, "视盘边界清 黄斑中心凹反光"},
        {"眼底", "糖尿病视网膜病变", K::Fundus, 1, "微血管瘤 出血 硬性渗出"},
        {"超声", "胆囊结石", K::Ultrasound, 0, "强回声团 后方声影"},
    };
    return pictures;
}
