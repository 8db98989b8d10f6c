#pragma once
// The settings store: eight string values in the section named after the
// main window's class, read once at start and written once at the end.
#include "core/AppState.h"
#include <QHash>
#include <QStringList>

namespace morvane {

class SettingsStore {
public:
    // The per-user store: the registry key HKCU\SoftWare\Velkram on Windows,
    // the per-user config file (XDG_CONFIG_HOME honoured) elsewhere.
    SettingsStore();
    // A settings file at an explicit path (tests, tools).
    explicit SettingsStore(QString iniPath);

    // Reads the values into settings; a value that cannot be read keeps its
    // default alone, and the bad ones are shown together in the general
    // error box. The store remembers them for save().
    void load(AppSettings& settings, const QString& section);
    // Reads the values for a tool that only reads: a bad value keeps its
    // default and the others are still read; nothing is shown, renamed or
    // written. Returns one line for each problem.
    QStringList loadReadOnly(AppSettings& settings, const QString& section) const;
    // Writes every value but one that load() could not read and that still
    // holds the default it was given, which keeps its stored form; before the
    // first such rewrite the file is copied to "<file>.bak". False when the
    // store could not be written (and said so).
    bool save(const AppSettings& settings, const QString& section);

    QString location() const;

private:
    QString m_iniPath; // empty: the platform's own store
    // Values load() could not read, with the text of the default they got.
    QHash<QString, QString> m_unread;
    bool m_backedUp = false;
};

// The section name: the class name of the window without its namespace.
QString sectionNameOf(const char* className);

} // namespace morvane
