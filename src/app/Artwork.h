#pragma once
// The program's pictures, drawn at run time. The one exception is the icon the desktop
// shows before the program runs: data/tr.velmira.Velmira.svg repeats the application's
// mark by hand, and a test holds the two alike.
#include <QIcon>
#include <QPixmap>

enum class ToolbarImage { Open, Copy, Match, PolygonExcel, DetailExcel, Settings, About, Delivery, Picture, Criteria };
enum class TabImage { JobFiles = 0, Matching = 1, Points = 2, Map = 3, Differences = 4 };

QIcon ToolbarIcon(ToolbarImage image);  // 16 x 16
QIcon TabIcon(TabImage image);          // 16 x 16
QIcon ApplicationIcon();                // 48 x 48, 32 x 32 and 16 x 16
QPixmap SplashPicture();                // 481 x 321
QPixmap MountpointPicture();            // 30 x 30
