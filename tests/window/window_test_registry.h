#pragma once
// Window test classes register themselves here; the test program runs all of
// them, or the one named by its first argument (one CTest entry per class).

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct WindowTestClass {
    std::string name;
    std::function<std::unique_ptr<QObject>()> make;
};

std::vector<WindowTestClass>& WindowTestClasses();

struct WindowTestRegistration {
    WindowTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> make)
    {
        WindowTestClasses().push_back({name, std::move(make)});
    }
};

#define ZENTAB_WINDOW_TEST(Class) \
    static const WindowTestRegistration Class##Registration(#Class, [] { return std::make_unique<Class>(); });
