#include "shell/desktopplatform.h"
#include "shell/lifetime.h"
#include "shell/splash.h"
#include "view/resscheme.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    ResScheme::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    Lifetime lifetime;
    QObject::connect(&lifetime, &Lifetime::ended, &app, &QCoreApplication::quit);

    DesktopPlatform platform;
    auto *splash = new Splash(platform);
    splash->show();
    // The engine starts once the splash is on screen, not before.
    QTimer::singleShot(0, &platform, &DesktopPlatform::warmUp);
    return app.exec();
}
