#pragma once

#include <QString>

class MainWindow;

// The hidden --screenshots DIR mode of qingluan, for scripts/screenshots: pictures of the
// shown main window, of it during an update run on the sites of its settings file, of the
// log window after that run, of the completion message, the text dialog, the scheduler
// window with its task running and the shutdown countdown (which cannot switch anything
// off), and of the pinyin converter and the random text generator after one use, as PNG
// files in DIR. Returns the exit code; nothing is saved.
int RunScreenshots(MainWindow& window, const QString& folder);
