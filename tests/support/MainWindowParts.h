#pragma once
// What most window tests start from: the main window and the data module over
// a private settings file and embedded-database folder, with the message
// boxes recorded and the modal dialogs scripted.
#include "app/MainWindow.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "support/ScopedDataDir.h"
#include "support/ScriptedDialogs.h"
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
};

} // namespace morvane::test
