// GoogleTest's main for the widget tests: one QApplication for the whole run.

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

int main(int argc, char **argv)
{
    // The build lists the tests of every binary to discover them; a listing needs no
    // application, and one would only start a platform and warn about its environment.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    const auto unset = [](const char *name) {
        const char *value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    // Without a display the test binary would abort in QApplication's constructor.
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
