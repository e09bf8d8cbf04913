#include "bench/BenchProgram.h"

#include "data/TCatalogConnection.h"
#include "data/UDataLibModule.h"
#include "platform/TavelinError.h"

#include <QDir>

TBenchProgram::TBenchProgram(const QString &dir) : m_oldDir(QDir::currentPath())
{
    if (!QDir::setCurrent(dir))
        throw TavelinError(QStringLiteral("cannot enter %1").arg(dir));
    m_module = std::make_unique<Tm_DataLibModule>();
    if (!m_module->m_ADOConnection_KVR->Connected()) {
        QDir::setCurrent(m_oldDir);
        throw TavelinError(QStringLiteral("the catalogue in %1 did not open").arg(dir));
    }
    m_DataLibModule = m_module.get();
}

TBenchProgram::~TBenchProgram()
{
    m_module.reset(); // clears the global as it goes
    QDir::setCurrent(m_oldDir);
}

QString TBenchProgram::CataloguePath(const QString &dir)
{
    return QDir(dir).filePath(QStringLiteral("KVRJetLib.mdb"));
}
