// The main of the core libraries' test programs: a QCoreApplication and no
// Gui or Widgets, so a window, a message box or a font reaching one of those
// libraries fails its tests instead of working by accident.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
