// Start-up: the application object, the one window with its module state,
// and the message loop. Command-line arguments are ignored.

#include "tfm_zentab_editor.h"
#include "zentab_application.h"

int main(int argc, char** argv)
{
    static zentab::Module module;
    ZentabApplication application(argc, argv);
    TfmZentabEditor window(module);
    fmZentabEditor = &window;
    window.show();
    const int status = application.exec();
    fmZentabEditor = nullptr;
    return status;
}
