// A main window with one menu, one label and a status bar; nothing else.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "widgets/startup_probe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
    window.setCentralWidget(new QLabel(QStringLiteral("Project manager for KEST")));
    window.statusBar()->showMessage(QStringLiteral("English"));
    window.resize(712, 229);
    pmkest::InstallStartupProbe(&window);
    window.show();
    return app.exec();
}
