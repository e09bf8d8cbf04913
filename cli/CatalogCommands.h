#pragma once
// The commands of tavelin-catalog. Each takes its arguments (without the command word), prints
// its result on stdout and a one-line message on stderr when it fails, and returns the exit status:
// 0 done, 1 entry or slot not found or empty (verify: unreadable pictures found), 2 bad usage or input.
#include <QStringList>

#include <cstdio>

namespace CatalogTool {

constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitBadInput = 2;

int Run(const QStringList &args); // args[0] is the command

int Create(const QStringList &args);
int Info(const QStringList &args);
int Add(const QStringList &args);
int ExportPicture(const QStringList &args);
int Verify(const QStringList &args);
int Demo(const QStringList &args);
int ImportMdb(const QStringList &args);

void Usage(std::FILE *to);
// "tavelin-catalog (Tavelin) VERSION" on stdout, the version being the application's.
void Version();

} // namespace CatalogTool
