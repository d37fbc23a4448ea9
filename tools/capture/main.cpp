// nordglow-capture entry.
#include "capture/capture.h"

int main(int argc, char** argv)
{
    return capture::runCapture(std::vector<std::string>(argv + 1, argv + argc));
}
