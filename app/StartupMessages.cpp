#include "app/StartupMessages.h"

#include "platform/ErrorReport.h"
#include "widgets/TCentredMessageBox.h"

#include <QFile>
#include <QMessageBox>

namespace {

const char *const kTestLogVariable = "TAVELIN_TEST_LOG";

QString TestLogPath()
{
    return qEnvironmentVariable(kTestLogVariable);
}

// One line per entry: the fields separated by tabs, line breaks inside them written as "\n".
void AppendToTestLog(const QString &kind, const QString &first, const QString &second = QString(),
                     const QString &third = QString())
{
    QFile log(TestLogPath());
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    auto flat = [](QString s) { return s.replace(QLatin1String("\r\n"), QLatin1String("\\n")).replace(QLatin1Char('\n'), QLatin1String("\\n")); };
    QString line = kind + QLatin1Char('\t') + flat(first);
    if (!second.isNull())
        line += QLatin1Char('\t') + flat(second);
    if (!third.isEmpty())
        line += QLatin1Char('\t') + flat(third);
    log.write((line + QLatin1Char('\n')).toUtf8());
}

} // namespace

void ShowStartupMessage(const QString &text, const QString &caption, const QString &reason)
{
    if (!TestLogPath().isEmpty()) {
        AppendToTestLog(QStringLiteral("box"), caption, text, reason);
        return;
    }
    TCentredMessageBox box(QMessageBox::Critical, caption, text, nullptr);
    box.setStandardButtons(QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(reason);
    // Paths and commands in the reason can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void LogStartupEvent(const QString &name)
{
    if (!TestLogPath().isEmpty())
        AppendToTestLog(QStringLiteral("event"), name);
}

bool InstallStartupTestLog()
{
    if (TestLogPath().isEmpty())
        return false;
    SetStandardErrorSink([](const QString &message) { AppendToTestLog(QStringLiteral("box"), QStringLiteral("Tavelin"), message); });
    return true;
}

int SplashPauseFor(const QByteArray &value)
{
    bool ok = false;
    const int ms = value.trimmed().toInt(&ok);
    return ok && ms >= 0 ? ms : 2000;
}

int SplashPauseMs()
{
    return SplashPauseFor(qgetenv("TAVELIN_SPLASH_MS"));
}
