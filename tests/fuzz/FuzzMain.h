#pragma once
// The libFuzzer entry shared by the targets: a headless application object like the program's,
// and an abort with the harness's finding, so the fuzzer keeps the input that broke a promise.
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace FuzzMain {

inline void StartApplication()
{
    static int argc = 1;
    static char name[] = "tavelin-fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

inline void Require(const QString &finding)
{
    if (finding.isEmpty())
        return;
    std::fprintf(stderr, "==tavelin-fuzz== broken promise: %s\n", qPrintable(finding));
    std::abort();
}

} // namespace FuzzMain
