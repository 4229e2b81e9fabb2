#include "shell/programentry.h"

int main(int argc, char *argv[])
{
    return CProgramEntry::Main(argc, argv);
}
