// Start-up: the application object, the one window with its module state,
// and the message loop. A module named on the command line (a file manager's
// "Open With") is loaded once the window is shown.

#include "tfm_zentab_editor.h"
#include "zentab_application.h"

#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    static zentab::Module module;
    ZentabApplication application(argc, argv);  // takes Qt's own options out of argv
    TfmZentabEditor window(module);
    fmZentabEditor = &window;
    window.show();
    // A file name is bytes here; kept as given, whatever their encoding.
    std::vector<std::filesystem::path> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(std::string(argv[i]));
    window.openWhenShown(std::move(arguments));
    const int status = application.exec();
    fmZentabEditor = nullptr;
    return status;
}
