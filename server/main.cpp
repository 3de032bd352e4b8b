#include "ServerProgram.h"

int main(int argc, char *argv[])
{
    return korvane::runServer(argc, argv);
}
