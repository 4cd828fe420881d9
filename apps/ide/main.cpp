// The environment window: ide [--addins FILE] [--screenshot FILE.png] [PROJECT]

#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "apps/ide/ide_options.h"
#include "apps/ide/ide_window.h"
#include "apps/ide/ini_addin_host.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/qt_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ide::IdeOptions options = ide::ParseOptions(args, [](const char* name) -> const char* { return std::getenv(name); });
    if (options.help) {
        std::fputs(ide::kUsage, stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "ide: %s\n%s", options.error.c_str(), ide::kUsage);
        return 2;
    }
    if (!options.screenshot.empty() || (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    if (QStyle* style = QStyleFactory::create("Windows")) app.setStyle(style);
    QFont font("MS Sans Serif");
    font.setPointSizeF(8.25);
    app.setFont(font);
    forms::qt::EnsureQtUi();
    forms::qt::KeepRunningOnEnd();
    // Offscreen nobody answers: message boxes take their default button.
    forms::HeadlessUi unattended;
    if (!options.screenshot.empty()) forms::SetUi(&unattended);

    auto env = vbide::Environment::Create();
    ide::IniAddInHost addIns(env, options.addinsFile);
    ide::IdeWindow window(env, &addIns);
    if (!options.screenshot.empty()) {
        // Nobody is there to answer message boxes: failures go to stderr.
        window.report = [](const std::string& message) { std::fprintf(stderr, "ide: %s\n", message.c_str()); };
        window.setAttribute(Qt::WA_DontShowOnScreen);
    }
    window.show();
    QApplication::processEvents();
    addIns.LoadStartupAddIns();
    if (!options.project.empty()) window.OpenProject(options.project);

    if (!options.screenshot.empty()) {
        QApplication::processEvents();
        bool ok = window.SaveScreenshot(options.screenshot);
        if (!ok) std::fprintf(stderr, "ide: cannot write %s\n", options.screenshot.c_str());
        addIns.UnloadAll();
        forms::SetUi(nullptr);
        return ok ? 0 : 1;
    }
    return app.exec();
}
