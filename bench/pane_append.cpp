// Appending generator lines to a script pane, the way a run does (lines
// gathered by the pane's sink, put into the pane a few times a second while
// events run), timed at a given number of lines. Run offscreen:
//   QT_QPA_PLATFORM=offscreen brindle-panebench 100000
// A pane that appends without quadratic cost takes ten times as long for ten
// times the lines. The clear buttons' emptying and its undo are timed after.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const long lines = argc > 1 ? std::atol(argv[1]) : 100000;
    QPlainTextEdit pane;
    pane.resize(800, 600);
    pane.show();
    QElapsedTimer timer;
    timer.start();
    {
        brindle::gui::PaneSink sink(&pane);
        for (long i = 0; i < lines; ++i) {
            sink.append("ADD EUTRANINTRAFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=" +
                        std::to_string(100000 + i) + ",CELLID=2,NEIGHBOURCELLNAME=\"北区" +
                        std::to_string(i) + "\";{北区站" + std::to_string(i / 50) + "}\r\n");
            if (i % 64 == 0) {
                sink.flushIfDue();
                QCoreApplication::processEvents();
            }
        }
    }
    QCoreApplication::processEvents();
    const double append = timer.elapsed() / 1000.0;
    timer.restart();
    const std::string text = brindle::gui::boxText(&pane);
    const double read = timer.elapsed() / 1000.0;
    const int blocks = pane.document()->blockCount();
    // Emptying the pane as the clear buttons do (one undoable step), then
    // Ctrl+Z, each with the repaint after it.
    timer.restart();
    brindle::gui::clearBox(&pane);
    QCoreApplication::processEvents();
    const double clear = timer.elapsed() / 1000.0;
    timer.restart();
    pane.undo();
    QCoreApplication::processEvents();
    const double undo = timer.elapsed() / 1000.0;
    std::printf(
        "%ld lines: append %.3f s, read back %.3f s (%zu bytes, %d blocks), clear %.3f s, "
        "undo %.3f s (%d blocks)\n",
        lines, append, read, text.size(), blocks, clear, undo, pane.document()->blockCount());
    return 0;
}
