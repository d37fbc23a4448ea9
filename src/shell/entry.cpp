// Program entry of the live demo: no command line, no configuration.
#include "platform/platform.h"
#include "shell/demo.h"

int main()
{
    const int code = runDemo();
    // Stop the audio thread and release the window before static destruction.
    plat::musicClose();
    plat::destroyWindow();
    return code;
}
