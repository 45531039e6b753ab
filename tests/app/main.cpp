#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app_test_support.h"

// test_app [TestClass] [QTest options]: a first argument naming a test class runs only that
// class, since QTest's own function selection would fail in every other class.
int main(int argc, char** argv) {
    // Headless by default, and never a real shutdown, even when started by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QINGLUAN_NO_SHUTDOWN", "1");
    QApplication app(argc, argv);

    std::vector<std::unique_ptr<QObject>> tests;
    for (const auto& make : AppTests()) tests.push_back(make());
    std::vector<char*> args(argv, argv + argc);
    const char* only = nullptr;
    if (args.size() > 1) {
        for (const auto& test : tests)
            if (std::strcmp(test->metaObject()->className(), args[1]) == 0) only = args[1];
        if (only) args.erase(args.begin() + 1);
    }
    int failures = 0;
    for (const auto& test : tests) {
        if (only && std::strcmp(test->metaObject()->className(), only) != 0) continue;
        failures += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
