#pragma once

#include <QIcon>

// The program's icon (the same shapes as data/icons/qingluan.svg), drawn at the sizes a
// window title, the task bar and the notification area ask for.
QIcon AppIcon();
