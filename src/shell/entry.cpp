// Program entry of the live demo: no command line, no configuration.
#include "shell/shell_state.h"

int main()
{
    return runDemo();
}
