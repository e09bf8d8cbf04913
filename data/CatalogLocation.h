#pragma once
// Which catalogue the workstation uses, when an administrator or the user chose one.
//
// The setting `catalogue/location` is read from the user's file
// ($XDG_CONFIG_HOME/tavelin/tavelin.conf, usually ~/.config/tavelin/tavelin.conf), else from the
// system-wide one ($XDG_CONFIG_DIRS/tavelin/tavelin.conf, usually /etc/xdg/tavelin/tavelin.conf).
// Its value is a postgresql:// URL, a libpq connection string such as "service=clinic", or a
// catalogue file path. Without the setting (or with it empty in the user's file) the catalogue
// file beside the program is used, as always.
//
// Passwords belong in libpq's password file (~/.pgpass) or service file, never in this setting:
// a location carrying one in a file other users can read is refused.
#include <QString>
#include <QStringList>

namespace CatalogLocation {

struct TSettingsFiles {
    QString user;
    QStringList system; // in order of preference
};

// The files the setting is looked up in, from the XDG environment.
TSettingsFiles DefaultSettingsFiles();

// The chosen location, or an empty string for the file beside the program. Throws TavelinError
// naming the settings file for a location that cannot be used as it stands.
QString Configured(const TSettingsFiles &files = DefaultSettingsFiles());

} // namespace CatalogLocation
