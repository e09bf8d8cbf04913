#pragma once
// The data module: holds the one catalogue connection every query of the program runs through.
#include <QObject>
#include <QString>

class TCatalogConnection;

class Tm_DataLibModule : public QObject {
    Q_OBJECT
public:
    // Creating it runs DataModuleCreate; an error there goes to the standard error report and
    // creation completes with the connection closed.
    explicit Tm_DataLibModule(QObject *parent = nullptr);
    ~Tm_DataLibModule() override;

    static QString GetDatabaseFileName();
    // The catalogue start-up chose (ChooseCatalogue: a server, or a file anywhere); empty, as
    // before any choice: the catalogue file in the current folder.
    static void SetCatalogueLocation(const QString &location);
    static QString CatalogueLocation();
    static QString BuildConnectionString();
    // The catalogue the connection string names: the configured one, else the file in the current directory.
    static QString CatalogueSource();
    void DataModuleCreate();

    TCatalogConnection *m_ADOConnection_KVR;
};

// The one data module of the running program (nullptr until start-up creates it).
extern Tm_DataLibModule *m_DataLibModule;
