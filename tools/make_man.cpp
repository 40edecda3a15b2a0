// Writes the man page of zentab, made from the help the tool prints.

#include "help_text.h"

#include <fstream>
#include <iostream>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: make_man OUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << zentab::cli::ManPage(ZENTAB_VERSION);
    out.close();
    if (!out) {
        std::cerr << "make_man: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
