#pragma once
// What most window tests start from: the main window and the data module over
// a private settings file and embedded-database folder, with the message
// boxes recorded and the modal dialogs scripted.
#include "app/MainWindow.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "support/DemoLogon.h"
#include "support/ScopedDataDir.h"
#include "support/ScriptedDialogs.h"
#include <QComboBox>
#include <QTemporaryDir>

namespace morvane::test {

struct MainWindowParts {
    QTemporaryDir dir;
    ScopedDataDir data;
    SettingsStore store{dir.path() + "/s.conf"};
    Session session;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    TDataModule2 dm{session};
    TF_Main main{session, store};

    // Logged on to the demo (or a dictionary of the data folder), the main
    // window working on the data module.
    void logOn(const QString& server = QStringLiteral("DEMO"))
    {
        logOnDemo(dm, server);
        main.setDataModule(&dm);
    }
    // The window shown and the owner typed into its owner field.
    void showWithOwner(const QString& owner)
    {
        main.FormShow();
        main.ComboBox1->setEditText(owner);
        main.ComboBox1Change();
    }
};

} // namespace morvane::test
