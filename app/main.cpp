#include "app/TavelinStartup.h"

int main(int argc, char **argv)
{
    return RunTavelin(argc, argv);
}
