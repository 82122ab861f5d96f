#include "startup.h"

#include "desktopplatform.h"
#include "lifetime.h"
#include "splash.h"
#include "view/resscheme.h"

#include <QApplication>
#include <QPointer>
#include <QSettings>
#include <QTimer>

int runProgram(int &argc, char **argv, const std::function<void(DesktopPlatform &)> &started)
{
    ResScheme::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // The GL driver keeps a shader cache of its own under the user's cache folder; only its
    // environment switch turns it off, and it must be set before the first GL context.
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    QApplication app(argc, argv);
    // Qt's own dialogs (the file chooser behind printing to a file) remember their last folder
    // in a settings file; the program keeps nothing, so those settings go nowhere.
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, QStringLiteral("/dev/null"));
    }
    app.setQuitOnLastWindowClosed(false);

    Lifetime lifetime;
    QObject::connect(&lifetime, &Lifetime::ended, &app, &QCoreApplication::quit);

    DesktopPlatform platform;
    auto *splash = new Splash(platform);
    splash->show();
    // The engine starts once the splash is on screen, not before.
    QTimer::singleShot(0, &platform, &DesktopPlatform::warmUp);
    if (started)
        started(platform);
    const int exitCode = app.exec();

    // File > Exit only hides the windows. Those that own themselves (the main window, the
    // About box) go now, while the engine still runs: a page must not outlive it.
    QList<QPointer<QWidget>> ownWindows;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->parentWidget() && window->testAttribute(Qt::WA_DeleteOnClose))
            ownWindows.append(window);
    }
    for (const QPointer<QWidget> &window : std::as_const(ownWindows))
        delete window.data();
    return exitCode;
}
