#include "gui/ProcessEntry.h"

int main(int argc, char **argv)
{
    return ProcessEntry::main(argc, argv);
}
