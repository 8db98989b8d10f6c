#include "app/Startup.h"
#include "app/MainWindow.h"
#include "app/Platform.h"
#include "app/Splash.h"
#include "app/Winplace.h"
#include "database/DataModule.h"
#include "output/ForMoment.h"
#include <QApplication>
#include <QComboBox>
#include <memory>

namespace morvane {

int runMorvane(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    // No display name: the window system would append it to every caption.
    QApplication::setWindowIcon(QIcon(programIcon(32)));

    Session session;
    SettingsStore store;

    auto splash = std::make_unique<TSplashForm>();
    splash->show();
    splash->setProgress(0);

    auto main = std::make_unique<TF_Main>(session, store);
    auto wait = std::make_unique<TF_ForMoment>();
    splash->setProgress(1);

    auto dm = std::make_unique<TDataModule2>(session);
    dm->waitDialog = wait.get();
    TF_Main* mainWindow = main.get();
    TSplashForm* splashForm = splash.get();
    dm->clearOwnerField = [mainWindow] { mainWindow->ComboBox1->setEditText(QString()); };
    dm->repaintSplash = [splashForm] { splashForm->repaintNow(); };
    main->setDataModule(dm.get());
    runGuarded([&] { dm->DataModule2Create(); });
    dm->repaintSplash = nullptr;
    splash->setProgress(2);
    splash->setProgress(3);
    splash.reset();

    int rc = 0;
    if (!session.terminationRequested) {
        main->show();
        rc = app.exec();
    }
    // Ending: reverse order of creation; the main window writes the settings last.
    dm.reset();
    wait.reset();
    main.reset();
    return rc;
}

} // namespace morvane
