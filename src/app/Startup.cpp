#include "app/Startup.h"
#include "app/MainWindow.h"
#include "widgets/QtPlatform.h"
#include "app/Splash.h"
#include "core/Memory.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ui/LogonWindows.h"
#include "output/ui/ForMoment.h"
#include "output/ui/PreviewForm.h"
#include <QApplication>
#include <QComboBox>
#include <memory>

namespace morvane {

int runMorvane(int argc, char** argv)
{
    keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    // No display name: the window system would append it to every caption.
    QApplication::setWindowIcon(QIcon(programIcon(32)));
    platform::installQtPlatform();
    platform::installQtTranslations();

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
    QtLogonWindows logonWindows;
    dm->logonWindows = &logonWindows;
    TF_Main* mainWindow = main.get();
    TSplashForm* splashForm = splash.get();
    dm->clearOwnerField = [mainWindow] { mainWindow->ComboBox1->setEditText(QString()); };
    dm->repaintSplash = [splashForm] { splashForm->repaintNow(); };
    main->setDataModule(dm.get());
    runGuarded([&] { dm->DataModule2Create(); });
    dm->repaintSplash = nullptr;
    splash->setProgress(2);
    auto preview = std::make_unique<output::TPreviewForm>();
    preview->onPrint = [mainWindow](QObject* sender) { mainWindow->BitBtn3Click(sender); };
    main->setPreviewForm(preview.get());
    splash->setProgress(3);
    splash.reset();

    int rc = 0;
    if (!session.terminationRequested) {
        main->show();
        rc = app.exec();
    }
    // Ending: reverse order of creation; the main window writes the settings last.
    main->setPreviewForm(nullptr);
    preview.reset();
    dm.reset();
    wait.reset();
    main.reset();
    return rc;
}

} // namespace morvane
