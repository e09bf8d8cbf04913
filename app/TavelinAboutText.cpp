#include "app/TavelinAboutText.h"

QString TavelinAboutText()
{
    return QStringLiteral("    Corvale 专注医学图像软件,产品有 Tavelin 医学图谱、Corvale 影像图库与 Corvale 临床教学助手。\r\n"
                          "    Tavelin 收录中药、针灸、望诊、解剖与临床图谱。\r\n"
                          "感谢您使用 Corvale 的软件!");
}
