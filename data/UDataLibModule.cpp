#include "data/UDataLibModule.h"

#include "data/TCatalogConnection.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"

#include <QDir>

Tm_DataLibModule *m_DataLibModule = nullptr;

namespace {

QString &chosenLocation()
{
    static QString location;
    return location;
}

} // namespace

Tm_DataLibModule::Tm_DataLibModule(QObject *parent)
    : QObject(parent), m_ADOConnection_KVR(new TCatalogConnection(this))
{
    setObjectName(QStringLiteral("m_DataLibModule"));
    m_ADOConnection_KVR->setObjectName(QStringLiteral("m_ADOConnection_KVR"));
    // The design-time string is always replaced before the first connect; no data-link file is read.
    m_ADOConnection_KVR->SetConnectionString(QStringLiteral("FILE NAME=KVRDataLink.udl"));
    try {
        DataModuleCreate();
    } catch (const std::exception &e) {
        ReportError(e);
    }
}

Tm_DataLibModule::~Tm_DataLibModule()
{
    if (m_DataLibModule == this)
        m_DataLibModule = nullptr;
}

QString Tm_DataLibModule::GetDatabaseFileName()
{
    return QStringLiteral("KVRJetLib.mdb");
}

void Tm_DataLibModule::SetCatalogueLocation(const QString &location)
{
    chosenLocation() = location;
}

QString Tm_DataLibModule::CatalogueLocation()
{
    return chosenLocation();
}

QString Tm_DataLibModule::CatalogueSource()
{
    QString source = chosenLocation();
    if (source.isEmpty()) {
        // The current directory as the system reports it: no trailing separator except at a root.
        source = QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + GetDatabaseFileName();
    }
    return source;
}

QString Tm_DataLibModule::BuildConnectionString()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=") + CatalogueSource()
           + QStringLiteral(";Mode=Share Deny None;Jet OLEDB:Database Password=7310952;Jet OLEDB:SFP=False");
}

void Tm_DataLibModule::DataModuleCreate()
{
    m_ADOConnection_KVR->SetConnected(false);
    m_ADOConnection_KVR->SetConnectionString(BuildConnectionString());
    m_ADOConnection_KVR->SetConnected(true);
}
