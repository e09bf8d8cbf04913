#include "app/CatalogueNotFoundText.h"

#include <QRegularExpression>

QString ShellWord(const QString &path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:+@%=,-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString CatalogueNotFoundText(const QStringList &places, const QString &userPlace, const QString &sharedPlace,
                              const QString &toolPath)
{
    QString text = QStringLiteral("没有找到图谱数据文件,已依次查找以下位置:\n");
    for (const QString &place : places)
        text += QStringLiteral("  ") + place + QLatin1Char('\n');
    const QString demo = ShellWord(toolPath) + QStringLiteral(" demo ");
    if (!userPlace.isEmpty()) {
        text += QStringLiteral("\n为自己生成一个演示图谱:\n  ") + demo + ShellWord(userPlace) + QLatin1Char('\n');
    }
    if (!sharedPlace.isEmpty()) {
        text += QStringLiteral("\n为本机所有用户生成一个演示图谱(需要管理员权限):\n  sudo ") + demo
                + ShellWord(sharedPlace) + QLatin1Char('\n');
    }
    if (!userPlace.isEmpty())
        text += QStringLiteral("\n已有图谱文件时,把它复制为 ") + userPlace + QStringLiteral(" 即可。");
    return text;
}
