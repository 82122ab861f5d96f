// Nothing but a web view showing the book, where the reader's main window stands.
// Usage: baseline <path of d.htm>

#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    // The same application attributes as the reader, so that only the windows differ.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;

    // Off the record, like the reader's view: nothing goes to disk. Declared first, so that
    // it outlives the view and its page.
    QWebEngineProfile profile;
    QWebEngineView view;
    view.setPage(new QWebEnginePage(&profile, &view));
    // The main window's client area: 1740, 2055 twips, 8385 x 5055 twips.
    view.setGeometry(116, 137, 559, 337);
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}
