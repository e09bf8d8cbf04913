// The start-up baseline: a Qt program that shows one empty window. It reports the showing the way
// Tavelin does for tests (a line appended to the file named by TAVELIN_TEST_LOG) and then quits.
#include <QApplication>
#include <QFile>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 700);
    window.show();
    const QString log = qEnvironmentVariable("TAVELIN_TEST_LOG");
    if (!log.isEmpty()) {
        QFile f(log);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append))
            f.write("event\tmain-window-shown\n");
    }
    return 0;
}
