#ifndef TESTMAIN_H
#define TESTMAIN_H

#include <QApplication>
#include <QtTest>

#include "view/resscheme.h"

// The res: scheme must be known before the application object exists, as in the program.
#define AMBERVALE_TEST_MAIN(TestObject)                                                        \
    int main(int argc, char **argv)                                                            \
    {                                                                                          \
        ResScheme::registerScheme();                                                           \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                            \
        QApplication app(argc, argv);                                                          \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                               \
        TestObject tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }

#endif // TESTMAIN_H
