// Every window carries the same German menu bar; the pictures of the windows
// and menus are kept in the build folder (screenshots/) for a look by eye.
#include <QDir>
#include <QMenuBar>

#include "HostFixture.h"
#include "toolbox/windows/WindowManagement.h"

namespace {
QString screenshotFolder() {
  QString folder = QStringLiteral(VELMORAT_BINARY_DIR "/screenshots");
  QDir().mkpath(folder);
  return folder;
}
}  // namespace

TEST(Screenshots, EveryWindowShowsTheMenuBarAndItsContents) {
  setUpGraphicWindow(1, 64, 48, 8);
  QStringList expected = {QStringLiteral("&Ablage"), QStringLiteral("&Bearbeiten"),
                          QStringLiteral("&Fenster"), QStringLiteral("&Hilfe")};
  for (int number = 0; number <= 12; ++number) {
    VelmoratWindow* window = testHost().window(number);
    QStringList titles;
    for (QAction* action : window->menuBar()->actions()) titles << action->text();
    EXPECT_EQ(titles, expected) << number;
    QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull()) << number;
    picture.save(screenshotFolder() +
                 QStringLiteral("/window%1.png").arg(number, 2, 10, QLatin1Char('0')));
  }
}

TEST(Screenshots, MenusOpen) {
  VelmoratWindow* window = testHost().window(9);
  t_WindowFront(9);
  for (QAction* action : window->menuBar()->actions()) {
    QMenu* menu = action->menu();
    menu->popup(window->mapToGlobal(QPoint(0, 0)));
    EXPECT_TRUE(serveEventsUntil([menu] { return menu->isVisible(); }, 5000));
    QImage picture = menu->grab().toImage();
    EXPECT_GT(picture.height(), 20);
    picture.save(screenshotFolder() +
                 QStringLiteral("/menu-%1.png").arg(menu->title().remove(QLatin1Char('&'))));
    menu->hide();
  }
}
