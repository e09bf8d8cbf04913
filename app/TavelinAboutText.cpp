#include "app/TavelinAboutText.h"

QString TavelinAboutText()
{
    return QStringLiteral("    Corvale 专注医学图像软件,产品有 Tavelin 医学图谱、Corvale 影像图库和 Corvale 临床教学助手。\r\n"
                          "    Tavelin 收录中药、针灸、中医望诊、人体解剖与临床图片,供学习与参考。\r\n"
                          "感谢您使用 Corvale 的软件!");
}
