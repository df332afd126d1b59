// Entry point of every test program: a headless GUI layer (fonts, drawing),
// a private settings file and the default code page.
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/settings_store.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/korvane-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    const std::string settings =
        (std::filesystem::temp_directory_path() / ("kvtest-settings-" + std::to_string(getpid()) + ".ini")).string();
    // A file of an earlier program with the same process id (one that did
    // not end normally) would hand this one its settings: start empty.
    std::error_code stale;
    std::filesystem::remove(settings, stale);
    setenv("KORVANE_SETTINGS", settings.c_str(), 1);
    CSettingsStore::Instance().UseFile(settings);
    // No test talks to the machine's printers: the tests that need a CUPS
    // scheduler start one of their own (support/cupsd.h).
    setenv("CUPS_SERVER", (std::filesystem::temp_directory_path() / "kvtest-no-cups" / "cups.sock").c_str(), 1);
    SetAnsiCodePage(1252);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove(settings, ec);
    return rc;
}
