#include "support/TestProgram.h"

#include "data/UDataLibModule.h"
#include "frames/TAtlasFrame.h"
#include "glo/GlobalObjects.h"
#include "platform/ErrorReport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace TestSupport {

TestProgram::TestProgram(bool withGlobalObjects) : m_globals(withGlobalObjects)
{
    path = dir.filePath("KVRJetLib.mdb");
    MakeCatalogue(path);
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SetStandardErrorSink([this](const QString &m) { errors << m; });
    if (m_globals)
        CreateGlobalObjects();
}

TestProgram::~TestProgram()
{
    m_module.reset();
    m_DataLibModule = nullptr;
    Tm_DataLibModule::SetCatalogueLocation(QString());
    if (m_globals)
        FreeGlobalObjects();
    SetStandardErrorSink(nullptr);
    QDir::setCurrent(m_oldDir);
}

void TestProgram::start(const QString &catalogue)
{
    Tm_DataLibModule::SetCatalogueLocation(catalogue);
    m_module = std::make_unique<Tm_DataLibModule>();
    m_DataLibModule = m_module.get();
}

bool TestProgram::showFrame(TAtlasFrame &frame, QSize size)
{
    frame.resize(size);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return false;
    frame.ActivateFrame();
    return true;
}

QString TestProgram::writeFile(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(dir.filePath("pics"));
    const QString p = dir.filePath("pics/" + name);
    QFile f(p);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return p;
}

} // namespace TestSupport
